#include "output/upload/UploadFolders.h"

#include "platform/PathText.h"

#include <windows.h>
#include <shlobj.h>

namespace UploadFolders {

namespace {

std::wstring localPixlanceFolder() {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(
            ::SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path)) ||
        !path[0])
        return {};
    return withTrailingBackslash(path) + L"Pixlance\\";
}

} // namespace

std::wstring unsent() {
    const std::wstring folder = localPixlanceFolder();
    return folder.empty() ? folder : folder + L"Unsent\\";
}

std::wstring historyFile() {
    const std::wstring folder = localPixlanceFolder();
    return folder.empty() ? folder : folder + L"History.tsv";
}

} // namespace UploadFolders
