#include "output/upload/StatusRelay.h"

template <typename Report> bool StatusRelay::relay(Report report) {
    IFrameOutputUpdate* receiver = nullptr;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (detached_)
            return false;
        if (!receiver_)
            return true;
        receiver = receiver_;
        ++reportsUnderWay_;
    }
    // Called outside the lock: the receiver may wait for the GUI thread, which detaches.
    struct Done {
        StatusRelay& relay;
        ~Done() {
            std::lock_guard<std::mutex> guard(relay.lock_);
            --relay.reportsUnderWay_;
        }
    } done{*this};
    return report(*receiver);
}

bool StatusRelay::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    return relay([&](IFrameOutputUpdate& receiver) { return receiver.notify(ok, title, text); });
}

void StatusRelay::progress(const std::wstring& title, const std::wstring& text) {
    relay([&](IFrameOutputUpdate& receiver) {
        receiver.progress(title, text);
        return true;
    });
}

void StatusRelay::detach() noexcept {
    std::lock_guard<std::mutex> guard(lock_);
    detached_ = true;
}

bool StatusRelay::waitForReports(DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (reportsUnderWay_ == 0)
                return true;
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        const DWORD slice = static_cast<DWORD>(deadline - now < 10 ? deadline - now : 10);
        if (::MsgWaitForMultipleObjects(0, nullptr, FALSE, slice, QS_SENDMESSAGE) ==
            WAIT_OBJECT_0) {
            MSG message;
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
}
