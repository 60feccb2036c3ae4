#include "output/upload/FtpUploadShared.h"

#include "platform/InternetException.h"

#include <chrono>
#include <future>
#include <thread>

FtpConnection FtpUploadShared::connectWithin(const std::shared_ptr<FtpUploadShared>& shared,
                                             const std::wstring& server, const std::wstring& user,
                                             const std::wstring& password, DWORD timeoutMs) {
    std::packaged_task<FtpConnection()> attempt([shared, server, user, password] {
        return shared->session.connectFtp(server, user, password);
    });
    std::future<FtpConnection> result = attempt.get_future();
    std::thread(std::move(attempt)).detach();
    if (result.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
        throw InternetException(ERROR_INTERNET_TIMEOUT);
    return result.get();
}
