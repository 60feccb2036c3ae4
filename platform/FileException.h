#pragma once

#include "platform/AppException.h"

#include <windows.h>

#include <string>

// A file operation failed; carries the OS error captured right after the failing call, and the
// path.
class FileException : public AppException {
public:
    FileException(DWORD osError, std::wstring path);
    // For failures the OS does not report, such as a path that is too long: our own text.
    FileException(DWORD osError, std::wstring path, const std::wstring& reason);

    DWORD osError() const noexcept { return osError_; }
    const std::wstring& path() const noexcept { return *path_; }

private:
    DWORD osError_;
    std::shared_ptr<const std::wstring> path_;
};
