#include "platform/FtpConnection.h"

#include "platform/InternetException.h"

FtpFile FtpConnection::openFile(const std::wstring& remotePath, DWORD access,
                                DWORD_PTR context) const {
    HINTERNET file = ::FtpOpenFileW(handle_.get(), remotePath.c_str(), access,
                                    FTP_TRANSFER_TYPE_BINARY, context);
    if (!file)
        throw InternetException::fromLastError();
    return FtpFile(UniqueInternetHandle(file));
}

void FtpConnection::deleteFile(const std::wstring& remotePath) const {
    if (!::FtpDeleteFileW(handle_.get(), remotePath.c_str()))
        throw InternetException::fromLastError();
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
