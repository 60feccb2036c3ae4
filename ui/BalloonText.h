#pragma once

#include <cstddef>
#include <string>

// Copies text into a fixed field of capacity characters (terminator included), cutting it so that
// it fits and never between the two halves of a surrogate pair. A null text counts as empty.
void copyBalloonField(wchar_t* field, std::size_t capacity, const wchar_t* text) noexcept;
