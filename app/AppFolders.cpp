#include "app/AppFolders.h"

#include "platform/PathText.h"

#include <windows.h>
#include <shlobj.h>

namespace {

std::wstring knownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        path[0] = 0;
    return path;
}

} // namespace

std::wstring settingsFolder() {
    std::wstring folder = withTrailingBackslash(knownFolder(CSIDL_APPDATA)) + L"Pixlance\\";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

std::wstring startupFolder() {
    return withTrailingBackslash(knownFolder(CSIDL_STARTUP));
}
