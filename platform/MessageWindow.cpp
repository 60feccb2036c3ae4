#include "platform/MessageWindow.h"

#include "platform/ResourceException.h"

MessageWindow::MessageWindow() {
    if (!create(0, registerClass(0, nullptr, nullptr, nullptr), L"", 0, RECT{}, HWND_MESSAGE, 0))
        throw ResourceException();
}

void MessageWindow::onUnhandledException(const AppException&) noexcept {
    ::MessageBeep(MB_ICONERROR);
}
