#pragma once

#include <windows.h>

// The messages our windows, dialogs and controls use, cracked once into typed handlers. A handler
// returns true when it has handled its message; otherwise onMessage sees the message, and when
// that does not handle it either, the window's default processing runs.
class MessageHandlers {
public:
    MessageHandlers() = default;
    MessageHandlers(const MessageHandlers&) = delete;
    MessageHandlers& operator=(const MessageHandlers&) = delete;
    virtual ~MessageHandlers() = default;

protected:
    // A command from a menu, an accelerator or a control (code is the notification code).
    virtual bool onCommand(int id, int code, HWND control);
    // A common control's notification; result is the answer.
    virtual bool onNotify(NMHDR& header, LRESULT& result);
    // The client area's new size.
    virtual bool onSize(int width, int height);
    virtual bool onGetMinMaxInfo(MINMAXINFO& limits);
    virtual bool onPaint();
    // WM_KEYDOWN only: system key-downs (Alt, F10) are not keys for the window.
    virtual bool onKeyDown(UINT key, int repeatCount, UINT flags);
    // Mouse messages, at client coordinates.
    virtual bool onLeftButtonDown(POINT at);
    virtual bool onLeftButtonUp(POINT at);
    virtual bool onMouseMove(POINT at);
    // A timer of the window (SetTimer) went off.
    virtual bool onTimer(UINT_PTR id);
    // The window is being destroyed; its children still exist.
    virtual bool onDestroy();
    // Every message that no typed handler took.
    virtual bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Hands a message to its handler; true when handled, with the answer in result.
    bool crack(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
};
