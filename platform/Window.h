#pragma once

#include "platform/AppException.h"
#include "platform/MessageHandlers.h"
#include "platform/ModalLoop.h"

#include <windows.h>

#include <string>

// Base of our windows: one window procedure that finds the object through GWLP_USERDATA (set at
// WM_NCCREATE from the creation parameter) and hands each message to the typed handlers.
// Messages that arrive before WM_NCCREATE go to the default procedure. No exception leaves the
// procedure.
class Window : public MessageHandlers {
public:
    Window() = default;
    ~Window() override;

    // Registers (once per set of values) a window class with our window procedure and returns its
    // name.
    static std::wstring registerClass(UINT style, HCURSOR cursor, HBRUSH background, HICON icon);

    bool create(DWORD exStyle, const std::wstring& className, const wchar_t* text, DWORD style,
                const RECT& rect, HWND parent, UINT_PTR id);
    void destroy() noexcept;

    HWND hwnd() const noexcept { return hwnd_; }

    // Runs messages until endModalLoop is called or the window goes away; returns the result given
    // to endModalLoop (-1 when the window went away or the application is quitting).
    int runModalLoop();
    void endModalLoop(int result) noexcept { modalLoop_.end(result); }
    bool inModalLoop() const noexcept { return modalLoop_.active(); }

protected:
    // Called when one of our exceptions escapes a handler; the default shows it in a message box.
    virtual void onUnhandledException(const AppException& error) noexcept;

private:
    static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT dispatch(UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
    ModalLoop modalLoop_;
};
