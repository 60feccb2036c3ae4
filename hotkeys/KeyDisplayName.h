#pragma once

#include <windows.h>

// The key's name as the current keyboard layout spells it ("F", "Page Up"). The buffer must hold at
// least 255 characters; it receives "" for a key without a name.
void keyDisplayName(UINT virtualKey, wchar_t* buffer);
