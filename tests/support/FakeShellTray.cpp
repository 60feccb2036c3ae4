#include "support/FakeShellTray.h"

#include <shellapi.h>

#include <cstring>

namespace {
FakeShellTray* current = nullptr;
}

bool FakeShellTray::Request::contains(const std::wstring& text) const {
    const std::size_t bytes = text.size() * sizeof(wchar_t);
    if (bytes == 0 || payload.size() < bytes)
        return false;
    for (std::size_t at = 0; at + bytes <= payload.size(); at += 2)
        if (std::memcmp(payload.data() + at, text.data(), bytes) == 0)
            return true;
    return false;
}

FakeShellTray::FakeShellTray() {
    current = this;
    thread_ = std::thread([this] { run(); });
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [this] { return ready_; });
}

FakeShellTray::~FakeShellTray() {
    if (window_)
        ::PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
    current = nullptr;
}

void FakeShellTray::run() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &FakeShellTray::windowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"Shell_TrayWnd";
    ::RegisterClassW(&wc);
    HWND window = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"",
                                    WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, nullptr);
    ::SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    {
        std::lock_guard<std::mutex> guard(lock_);
        window_ = window;
        ready_ = true;
    }
    changed_.notify_all();
    MSG msg;
    while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

LRESULT CALLBACK FakeShellTray::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COPYDATA && current) {
        const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
        Request request;
        request.message = static_cast<DWORD>(data->dwData);
        const auto* bytes = static_cast<const unsigned char*>(data->lpData);
        request.payload.assign(bytes, bytes + data->cbData);
        std::function<void(const Request&)> hook;
        {
            std::lock_guard<std::mutex> guard(current->lock_);
            current->requests_.push_back(request);
            hook = current->onRequest_;
        }
        current->changed_.notify_all();
        // Outside the lock: the hook may cause further requests, handled on this thread meanwhile.
        if (hook)
            hook(request);
        return TRUE;
    }
    if (message == WM_CLOSE) {
        ::DestroyWindow(hwnd);
        return 0;
    }
    if (message == WM_DESTROY) {
        ::PostQuitMessage(0);
        return 0;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

std::vector<FakeShellTray::Request> FakeShellTray::requests() const {
    std::lock_guard<std::mutex> guard(lock_);
    return requests_;
}

bool FakeShellTray::waitForRequests(std::size_t count, DWORD timeoutMs) const {
    std::unique_lock<std::mutex> guard(lock_);
    return changed_.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                             [&] { return requests_.size() >= count; });
}

void FakeShellTray::setOnRequest(std::function<void(const Request&)> hook) {
    std::lock_guard<std::mutex> guard(lock_);
    onRequest_ = std::move(hook);
}

void FakeShellTray::clear() {
    std::lock_guard<std::mutex> guard(lock_);
    requests_.clear();
}
