#pragma once

#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Stands in for the shell's notification area: a topmost window of the shell's tray class on a
// thread of its own. Shell_NotifyIconW finds it before the real one and hands it each request as
// WM_COPYDATA, so a test sees every icon request a program makes, balloons included. The payload's
// layout is Wine's own; tests look for the texts in it rather than at fixed offsets.
class FakeShellTray {
public:
    struct Request {
        DWORD message = 0; // NIM_ADD, NIM_MODIFY, NIM_DELETE
        std::vector<unsigned char> payload;
        bool contains(const std::wstring& text) const;
    };

    FakeShellTray();
    ~FakeShellTray();
    FakeShellTray(const FakeShellTray&) = delete;
    FakeShellTray& operator=(const FakeShellTray&) = delete;

    std::vector<Request> requests() const;
    // Waits until at least count requests arrived; false when the time ran out.
    bool waitForRequests(std::size_t count, DWORD timeoutMs = 10000) const;
    void clear();
    // Called on the tray's thread with each request once it is recorded, while the sender still
    // waits in Shell_NotifyIconW; what it sends back to the sender's windows runs inside that call.
    void setOnRequest(std::function<void(const Request&)> hook);

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void run();

    mutable std::mutex lock_;
    mutable std::condition_variable changed_;
    std::vector<Request> requests_;
    std::function<void(const Request&)> onRequest_;
    HWND window_ = nullptr;
    bool ready_ = false;
    std::thread thread_;
};
