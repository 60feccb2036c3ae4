#include "hotkeys/KeyDisplayName.h"

namespace {

// Keys whose scan code is shared with the numeric keypad: the extended bit tells them apart.
bool isExtendedKey(UINT virtualKey) {
    return (virtualKey >= VK_PRIOR && virtualKey <= VK_DOWN) || virtualKey == VK_INSERT ||
           virtualKey == VK_DELETE || virtualKey == VK_DIVIDE || virtualKey == VK_NUMLOCK;
}

} // namespace

void keyDisplayName(UINT virtualKey, wchar_t* buffer) {
    buffer[0] = L'\0';
    LONG scanCode = static_cast<LONG>(::MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC));
    if (isExtendedKey(virtualKey))
        scanCode |= 0x100;
    if (::GetKeyNameTextW(scanCode << 16, buffer, 255) <= 0)
        buffer[0] = L'\0';
}
