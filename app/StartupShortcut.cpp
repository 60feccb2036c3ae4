#include "app/StartupShortcut.h"

#include "platform/ComPtr.h"
#include "platform/ModulePath.h"

#include <windows.h>
#include <shlobj.h>

namespace StartupShortcut {

bool create(const std::wstring& startupFolder) {
    const std::wstring program = modulePath();
    if (program.empty())
        return false;
    wchar_t fullPath[MAX_PATH] = {};
    if (!::GetFullPathNameW(program.c_str(), MAX_PATH, fullPath, nullptr))
        return false;
    const std::wstring linkPath = startupFolder + kFileName;
    if (linkPath.size() >= MAX_PATH)
        return false;

    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.putVoid())))
        return false;
    ComPtr<IPersistFile> file = link.query<IPersistFile>();
    if (!file)
        return false;
    link->SetPath(fullPath);
    link->SetDescription(L"");
    link->SetIconLocation(fullPath, 0);
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}

void remove(const std::wstring& startupFolder) {
    ::DeleteFileW((startupFolder + kFileName).c_str());
}

} // namespace StartupShortcut
