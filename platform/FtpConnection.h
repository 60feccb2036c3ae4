#pragma once

#include "platform/FtpFile.h"
#include "platform/Handles.h"

#include <string>

// One logged-in FTP control connection. Failures raise InternetException.
class FtpConnection {
public:
    // timeoutMs: what the files opened through it wait at most (setInternetTimeouts); 0: WinInet's.
    explicit FtpConnection(UniqueInternetHandle handle, DWORD timeoutMs = 0) noexcept
        : handle_(std::move(handle)), timeoutMs_(timeoutMs) {}
    FtpConnection(FtpConnection&&) noexcept = default;
    FtpConnection& operator=(FtpConnection&&) noexcept = default;

    // Opens a remote file by its path for a binary transfer; context is WinInet's context value.
    FtpFile openFile(const std::wstring& remotePath, DWORD access = GENERIC_WRITE,
                     DWORD_PTR context = 0) const;
    void deleteFile(const std::wstring& remotePath) const;
    // Sends one command line and returns the server's reply, a refusal ("5xx ...") included.
    // Raises InternetException when no reply came.
    std::wstring command(const std::wstring& line) const;
    std::wstring currentDirectory() const;
    void setCurrentDirectory(const std::wstring& path) const;

    HINTERNET handle() const noexcept { return handle_.get(); }
    bool isOpen() const noexcept { return static_cast<bool>(handle_); }
    void close() noexcept { handle_.reset(); }

private:
    UniqueInternetHandle handle_;
    DWORD timeoutMs_ = 0;
};
