#include "platform/MessagePump.h"

#include "platform/CallbackGuard.h"
#include "platform/Handles.h"

namespace MessagePump {
namespace {

thread_local ThreadMessageHandler threadHandler;
// Sees the messages of the system's own modal loops (message boxes, system dialogs, menus), which
// would drop window-less messages.
thread_local UniqueHook systemLoopFilter;

bool handleThreadMessage(const MSG& msg) {
    if (msg.hwnd != nullptr || !threadHandler)
        return false;
    callGuarded<bool>(
        [&] {
            threadHandler(msg);
            return true;
        },
        [](const AppException&) { ::MessageBeep(MB_ICONERROR); }, false);
    return true;
}

LRESULT CALLBACK filterSystemLoops(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && lParam && handleThreadMessage(*reinterpret_cast<const MSG*>(lParam)))
        return TRUE;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

void setThreadMessageHandler(ThreadMessageHandler handler) {
    threadHandler = std::move(handler);
    if (threadHandler && !systemLoopFilter)
        systemLoopFilter.reset(
            ::SetWindowsHookExW(WH_MSGFILTER, filterSystemLoops, nullptr, ::GetCurrentThreadId()));
    else if (!threadHandler)
        systemLoopFilter.reset();
}

bool pumpOne(HWND dialog, int& quitCode) {
    MSG msg;
    BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
        quitCode = static_cast<int>(msg.wParam);
        return false;
    }
    if (got == -1 || handleThreadMessage(msg))
        return true;
    if (msg.hwnd == nullptr)
        return true;
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
