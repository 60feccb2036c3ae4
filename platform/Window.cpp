#include "platform/Window.h"

#include "platform/CallbackGuard.h"

#include <map>
#include <mutex>
#include <new>
#include <tuple>

Window::~Window() {
    destroy();
}

std::wstring Window::registerClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon) {
    using Key = std::tuple<UINT, HCURSOR, HBRUSH, HICON>;
    static std::mutex lock;
    static std::map<Key, std::wstring> registered;

    std::lock_guard<std::mutex> guard(lock);
    Key key{style, cursor, background, icon};
    auto found = registered.find(key);
    if (found != registered.end())
        return found->second;

    wchar_t name[96];
    swprintf(name, 96, L"Pixlance:%x:%p:%p:%p", style, static_cast<void*>(cursor),
             static_cast<void*>(background), static_cast<void*>(icon));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof(wc);
    wc.style = style;
    wc.lpfnWndProc = &Window::windowProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.hIcon = icon;
    wc.lpszClassName = name;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return {};
    return registered.emplace(key, name).first->second;
}

bool Window::create(DWORD exStyle, const std::wstring& className, const wchar_t* text, DWORD style,
                    const RECT& rect, HWND parent, UINT_PTR id) {
    HWND created =
        ::CreateWindowExW(exStyle, className.c_str(), text ? text : L"", style, rect.left, rect.top,
                          rect.right - rect.left, rect.bottom - rect.top, parent,
                          reinterpret_cast<HMENU>(id), ::GetModuleHandleW(nullptr), this);
    return created != nullptr;
}

void Window::destroy() noexcept {
    if (hwnd_)
        ::DestroyWindow(hwnd_);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<Window*>(create->lpCreateParams);
        if (self) {
            self->hwnd_ = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = self->dispatch(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->modalLoop_.windowGone();
    }
    return result;
}

LRESULT Window::dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    return callGuarded<LRESULT>(
        [&] {
            LRESULT result = 0;
            return crack(message, wParam, lParam, result)
                       ? result
                       : ::DefWindowProcW(hwnd_, message, wParam, lParam);
        },
        [this](const AppException& error) { onUnhandledException(error); }, 0);
}

void Window::onUnhandledException(const AppException& error) noexcept {
    // Memory may be what ran out: the text goes through a buffer of our own.
    wchar_t text[AppException::kShownLength + 1];
    error.copyShownMessage(text);
    ::MessageBoxW(hwnd_, text, L"Pixlance", MB_OK | MB_ICONERROR);
}

int Window::runModalLoop() {
    return static_cast<int>(modalLoop_.run(hwnd_, nullptr, false));
}
