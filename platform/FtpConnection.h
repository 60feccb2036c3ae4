#pragma once

#include "platform/FtpFile.h"
#include "platform/Handles.h"

#include <string>

// One logged-in FTP control connection. Failures raise InternetException.
class FtpConnection {
public:
    explicit FtpConnection(UniqueInternetHandle handle) noexcept : handle_(std::move(handle)) {}
    FtpConnection(FtpConnection&&) noexcept = default;
    FtpConnection& operator=(FtpConnection&&) noexcept = default;

    // Opens a remote file by its path for a binary transfer; context is WinInet's context value.
    FtpFile openFile(const std::wstring& remotePath, DWORD access = GENERIC_WRITE,
                     DWORD_PTR context = 0) const;
    void deleteFile(const std::wstring& remotePath) const;
    std::wstring currentDirectory() const;
    void setCurrentDirectory(const std::wstring& path) const;

    HINTERNET handle() const noexcept { return handle_.get(); }
    bool isOpen() const noexcept { return static_cast<bool>(handle_); }
    void close() noexcept { handle_.reset(); }

private:
    UniqueInternetHandle handle_;
};
