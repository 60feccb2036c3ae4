#include "platform/MessagePump.h"

namespace MessagePump {
namespace {

thread_local ThreadMessageHandler threadHandler;

} // namespace

void setThreadMessageHandler(ThreadMessageHandler handler) {
    threadHandler = std::move(handler);
}

bool pumpOne(HWND dialog, int& quitCode) {
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        quitCode = static_cast<int>(msg.wParam);
        return false;
    }
    if (got == -1)
        return true;
    if (msg.hwnd == nullptr) {
        if (threadHandler)
            threadHandler(msg);
        return true;
    }
    if (dialog && ::IsDialogMessageW(dialog, &msg))
        return true;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
    return true;
}

int runUntilQuit() {
    int code = 0;
    while (pumpOne(nullptr, code)) {
    }
    return code;
}

bool runWhile(const bool& active, HWND dialog) {
    while (active) {
        int quitCode = 0;
        if (!pumpOne(dialog, quitCode)) {
            ::PostQuitMessage(quitCode);
            return false;
        }
    }
    return true;
}

} // namespace MessagePump
