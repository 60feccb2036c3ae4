#include "platform/ModulePath.h"

#include <windows.h>

std::wstring modulePath() {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    // A cut path names some other file.
    if (length == 0 || length >= MAX_PATH)
        return {};
    return std::wstring(path, length);
}
