#pragma once

#include <windows.h>

#include <memory>
#include <mutex>

// How a worker thread hands its results to a window of the GUI thread: each result is a heap
// object whose address a posted message carries in lParam; the window's handler takes it over.
// Once the GUI thread closes the channel nothing more is posted and what is still queued is freed,
// so a worker that was given up reports to nobody. One channel per window and message at a time.
// post is safe from any thread; redirect and close belong to the window's thread.
template <typename Result> class ReplyChannel {
public:
    ReplyChannel(HWND window, UINT message) noexcept : window_(window), message_(message) {}
    ReplyChannel(const ReplyChannel&) = delete;
    ReplyChannel& operator=(const ReplyChannel&) = delete;

    // Posts the result unless the channel is closed; false, with the result freed, when it was not
    // posted.
    bool post(std::unique_ptr<Result> result) noexcept {
        std::lock_guard<std::mutex> guard(lock_);
        if (!window_ ||
            !::PostMessageW(window_, message_, 0, reinterpret_cast<LPARAM>(result.get())))
            return false;
        result.release();
        return true;
    }

    // Results go to this window from now on; those queued for the one before are freed.
    void redirect(HWND window) noexcept {
        HWND before = nullptr;
        {
            std::lock_guard<std::mutex> guard(lock_);
            before = window_;
            window_ = window;
        }
        if (before && before != window)
            discardQueued(before);
    }
    void close() noexcept { redirect(nullptr); }

    // The result that a message of the channel carries, taken over.
    static std::unique_ptr<Result> take(LPARAM lParam) noexcept {
        return std::unique_ptr<Result>(reinterpret_cast<Result*>(lParam));
    }

private:
    // The system drops a window's queued messages without freeing what they point to.
    void discardQueued(HWND window) const noexcept {
        MSG queued;
        while (::PeekMessageW(&queued, window, message_, message_, PM_REMOVE | PM_NOYIELD))
            take(queued.lParam);
    }

    std::mutex lock_; // held only while posting, which never waits
    HWND window_;
    const UINT message_;
};
