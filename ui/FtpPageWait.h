#pragma once

#include "ui/FtpWorker.h"

#include <windows.h>

#include <optional>
#include <string>

// The FTP page waiting for its worker, shown on the page itself: the button that began the wait
// reads "取消" meanwhile (a click on it ends the wait, so does Escape), the page's other network
// button is disabled, and the page's timer kTimerId goes off when the wait has lasted too long.
// GUI thread only.
class FtpPageWait {
public:
    static constexpr UINT_PTR kTimerId = 1;

    FtpPageWait() = default;
    FtpPageWait(const FtpPageWait&) = delete;
    FtpPageWait& operator=(const FtpPageWait&) = delete;
    ~FtpPageWait() { end(); }

    // Shows the wait on the page's button and keeps the worker for it.
    void begin(HWND page, int button, int otherButton, FtpWorker worker, DWORD timeoutMs);
    // Shows the page as it was and hands the worker back; whatever it was still to answer is
    // dropped with it unless the caller keeps it. None when no wait was on.
    std::optional<FtpWorker> end() noexcept;

    bool active() const noexcept { return worker_.has_value(); }
    // The button that began the wait.
    int button() const noexcept { return button_; }
    // The server waited for; only while a wait is on.
    const stFtpLogin& login() const noexcept { return worker_->login(); }

private:
    HWND page_ = nullptr;
    int button_ = 0;
    int otherButton_ = 0;
    std::wstring caption_;
    std::optional<FtpWorker> worker_;
};
