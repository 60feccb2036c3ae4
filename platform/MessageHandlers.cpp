#include "platform/MessageHandlers.h"

#include <windowsx.h>

namespace {

POINT pointOf(LPARAM lParam) noexcept {
    return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
}

} // namespace

bool MessageHandlers::onCommand(int, int, HWND) {
    return false;
}

bool MessageHandlers::onNotify(NMHDR&, LRESULT&) {
    return false;
}

bool MessageHandlers::onSize(int, int) {
    return false;
}

bool MessageHandlers::onGetMinMaxInfo(MINMAXINFO&) {
    return false;
}

bool MessageHandlers::onPaint() {
    return false;
}

bool MessageHandlers::onKeyDown(UINT, int, UINT) {
    return false;
}

bool MessageHandlers::onLeftButtonDown(POINT) {
    return false;
}

bool MessageHandlers::onLeftButtonUp(POINT) {
    return false;
}

bool MessageHandlers::onMouseMove(POINT) {
    return false;
}

bool MessageHandlers::onTimer(UINT_PTR) {
    return false;
}

bool MessageHandlers::onDestroy() {
    return false;
}

bool MessageHandlers::onMessage(UINT, WPARAM, LPARAM, LRESULT&) {
    return false;
}

bool MessageHandlers::crack(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    result = 0;
    bool handled = false;
    switch (message) {
    case WM_COMMAND:
        handled = onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        break;
    case WM_NOTIFY:
        handled = lParam && onNotify(*reinterpret_cast<NMHDR*>(lParam), result);
        break;
    case WM_SIZE:
        handled = onSize(LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_GETMINMAXINFO:
        handled = lParam && onGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
        break;
    case WM_PAINT:
        handled = onPaint();
        break;
    case WM_KEYDOWN:
        handled = onKeyDown(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case WM_LBUTTONDOWN:
        handled = onLeftButtonDown(pointOf(lParam));
        break;
    case WM_LBUTTONUP:
        handled = onLeftButtonUp(pointOf(lParam));
        break;
    case WM_MOUSEMOVE:
        handled = onMouseMove(pointOf(lParam));
        break;
    case WM_TIMER:
        handled = onTimer(static_cast<UINT_PTR>(wParam));
        break;
    case WM_DESTROY:
        handled = onDestroy();
        break;
    default:
        break;
    }
    return handled || onMessage(message, wParam, lParam, result);
}
