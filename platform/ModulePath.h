#pragma once

#include <string>

// The full path of the running program's executable; empty when the system cannot tell it, or
// when it does not fit a MAX_PATH buffer.
std::wstring modulePath();
