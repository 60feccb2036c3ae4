#include "platform/InternetSession.h"

#include "platform/InternetException.h"
#include "platform/InternetTimeouts.h"

InternetSession::InternetSession(const std::wstring& agent, DWORD_PTR context, DWORD timeoutMs)
    : context_(context), timeoutMs_(timeoutMs) {
    HINTERNET handle =
        ::InternetOpenW(agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (!handle)
        throw InternetException::fromLastError();
    handle_.reset(handle);
    setInternetTimeouts(handle, timeoutMs_);
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
    setInternetTimeouts(connection, timeoutMs_);
    return FtpConnection(UniqueInternetHandle(connection), timeoutMs_);
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
