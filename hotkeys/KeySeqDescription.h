#pragma once

#include "hotkeys/KeySeq.h"

#include <cstdint>
#include <functional>
#include <string>

// The name of one virtual-key code, "" when it has none.
using KeyNameLookup = std::function<std::wstring(std::int32_t code)>;

// The combination as the user reads it: 'Ctrl' + 'Shift' + 'F', in the order of the sequence; ""
// for an empty one. A code without a name shows as its number ('#173'), so that no key of the
// combination is invisible.
std::wstring describeKeySeq(const KeySeq& sequence, const KeyNameLookup& nameOf);

// With the names of the current keyboard layout (keyDisplayName). Windows only:
// KeySeqDescriptionWin.cpp.
std::wstring describeKeySeq(const KeySeq& sequence);
