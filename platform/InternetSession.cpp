#include "platform/InternetSession.h"

#include "platform/InternetException.h"

InternetSession::InternetSession(const std::wstring& agent, DWORD_PTR context) : context_(context) {
    HINTERNET handle =
        ::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!handle)
        throw InternetException::fromLastError();
    handle_.reset(handle);
}

FtpConnection InternetSession::connectFtp(const std::wstring& server, const std::wstring& user,
                                          const std::wstring& password, INTERNET_PORT port,
                                          bool passive) const {
    HINTERNET connection =
        ::InternetConnectW(handle(), server.c_str(), port, user.empty() ? nullptr : user.c_str(),
                           password.empty() ? nullptr : password.c_str(), INTERNET_SERVICE_FTP,
                           passive ? INTERNET_FLAG_PASSIVE : 0, context_);
    if (!connection)
        throw InternetException::fromLastError();
    return FtpConnection(UniqueInternetHandle(connection));
}

HINTERNET InternetSession::handle() const {
    std::lock_guard<std::mutex> guard(lock_);
    return handle_.get();
}

void InternetSession::close() noexcept {
    UniqueInternetHandle closing;
    {
        std::lock_guard<std::mutex> guard(lock_);
        closing = std::move(handle_);
    }
}
