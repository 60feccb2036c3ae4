#include "platform/FtpConnection.h"

#include "platform/InternetException.h"
#include "platform/InternetTimeouts.h"

FtpFile FtpConnection::openFile(const std::wstring& remotePath, DWORD access,
                                DWORD_PTR context) const {
    HINTERNET file = ::FtpOpenFileW(handle_.get(), remotePath.c_str(), access,
                                    FTP_TRANSFER_TYPE_BINARY, context);
    if (!file)
        throw InternetException::fromLastError();
    setInternetTimeouts(file, timeoutMs_);
    return FtpFile(UniqueInternetHandle(file));
}

void FtpConnection::deleteFile(const std::wstring& remotePath) const {
    if (!::FtpDeleteFileW(handle_.get(), remotePath.c_str()))
        throw InternetException::fromLastError();
}

std::wstring FtpConnection::command(const std::wstring& line) const {
    HINTERNET response = nullptr;
    if (!::FtpCommandW(handle_.get(), FALSE, FTP_TRANSFER_TYPE_BINARY, line.c_str(), 0,
                       &response)) {
        // A refusal is an answer: WinInet sets no error code of its own for it, or the extended
        // one.
        const DWORD error = ::GetLastError();
        if (error != 0 && error != ERROR_INTERNET_EXTENDED_ERROR)
            throw InternetException(error);
    }
    if (response)
        ::InternetCloseHandle(response);
    return lastServerReply();
}

std::wstring FtpConnection::currentDirectory() const {
    wchar_t buffer[MAX_PATH + 1] = {};
    DWORD length = MAX_PATH;
    if (!::FtpGetCurrentDirectoryW(handle_.get(), buffer, &length))
        throw InternetException::fromLastError();
    return buffer;
}

void FtpConnection::setCurrentDirectory(const std::wstring& path) const {
    if (!::FtpSetCurrentDirectoryW(handle_.get(), path.c_str()))
        throw InternetException::fromLastError();
}
