#pragma once

#include <windows.h>

// The clipboard, opened for the object's lifetime. Another program may hold it for a moment (a
// clipboard manager reading the last copy), so opening tries a few times before giving up.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) {
        for (int attempt = 0; attempt < kOpenAttempts && !open_; ++attempt) {
            if (attempt > 0)
                ::Sleep(kOpenRetryMs);
            open_ = ::OpenClipboard(owner) != FALSE;
        }
    }
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_)
            ::CloseClipboard();
    }
    bool isOpen() const noexcept { return open_; }

private:
    static constexpr int kOpenAttempts = 10;
    static constexpr DWORD kOpenRetryMs = 20;
    bool open_ = false;
};
