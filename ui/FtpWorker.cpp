#include "ui/FtpWorker.h"

#include "output/upload/cFTPOutput.h"
#include "platform/InternetSession.h"
#include "platform/ReplyChannel.h"
#include "platform/ResourceException.h"
#include "platform/WorkerThread.h"
#include "ui/RemoteFolderReader.h"

#include <atomic>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>

// What the worker thread and the GUI thread share.
struct FtpWorker::Shared {
    Shared(HWND window, UINT message)
        : session(std::make_shared<InternetSession>(L"Pixlance", 1,
                                                    cFTPOutput::kDialogConnectTimeoutMs)),
          channel(window, message) {}

    // The next request; none once stopped (the worker then ends).
    std::optional<Request> next() {
        std::unique_lock<std::mutex> guard(lock);
        wake.wait(guard, [this] { return stopped || !requests.empty(); });
        if (stopped)
            return std::nullopt;
        Request request = std::move(requests.front());
        requests.pop_front();
        return request;
    }

    std::shared_ptr<InternetSession> session;
    ReplyChannel<Reply> channel;
    std::mutex lock; // guards requests, only while they change
    std::condition_variable wake;
    std::deque<Request> requests;
    std::atomic<bool> stopped{false};
};

FtpWorker::FtpWorker(stFtpLogin login, std::shared_ptr<FtpModeMemory> modes, HWND window,
                     UINT message)
    : login_(std::move(login)), shared_(std::make_shared<Shared>(window, message)) {
    if (!WorkerThread::start([shared = shared_, login = login_, modes = std::move(modes)] {
            serve(shared, login, modes);
        }))
        throw ResourceException();
}

FtpWorker& FtpWorker::operator=(FtpWorker&& other) noexcept {
    if (this != &other) {
        stop();
        login_ = std::move(other.login_);
        shared_ = std::move(other.shared_);
    }
    return *this;
}

FtpWorker::~FtpWorker() {
    stop();
}

void FtpWorker::logIn() {
    ask(Request{Reply::Kind::LogIn, std::wstring()});
}

void FtpWorker::list(const std::wstring& folder) {
    ask(Request{Reply::Kind::Listing, folder});
}

void FtpWorker::replyTo(HWND window) {
    shared_->channel.redirect(window);
}

std::unique_ptr<FtpWorker::Reply> FtpWorker::takeReply(LPARAM lParam) noexcept {
    return ReplyChannel<Reply>::take(lParam);
}

void FtpWorker::ask(Request request) {
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->requests.push_back(std::move(request));
    }
    shared_->wake.notify_one();
}

void FtpWorker::stop() noexcept {
    if (!shared_)
        return;
    shared_->channel.close();
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->stopped = true;
    }
    shared_->wake.notify_one();
    shared_->session->close();
    shared_.reset();
}

void FtpWorker::serve(const std::shared_ptr<Shared>& shared, stFtpLogin login,
                      std::shared_ptr<FtpModeMemory> modes) {
    stSocketLimits limits;
    limits.timeoutMs = cFTPOutput::kDialogConnectTimeoutMs;
    limits.cancelled = [shared] { return shared->stopped.load(); };
    RemoteFolderReader reader(shared->session, std::move(login), std::move(modes),
                              std::move(limits));
    while (std::optional<Request> request = shared->next()) {
        auto reply = std::make_unique<Reply>();
        reply->kind = request->kind;
        reply->folder = request->folder;
        try {
            if (request->kind == Reply::Kind::LogIn)
                reader.logIn();
            else
                reply->listing = reader.list(request->folder);
        } catch (...) {
            reply->failure = std::current_exception();
        }
        shared->channel.post(std::move(reply));
    }
}
