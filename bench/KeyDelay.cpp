#include "KeyDelay.h"

#include "BenchClock.h"
#include "BenchContent.h"
#include "DiscardingFile.h"

#include "hotkeys/KeyboardHook.h"
#include "output/FrameWriting.h"
#include "platform/AppException.h"
#include "platform/Handles.h"
#include "platform/Window.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kKeysPerRound = 10;
// The trigger key of the default Full entry, pressed alone: the hook does its whole test and posts
// nothing.
constexpr WORD kKey = 'F';

// A window in front with the focus, on a thread of its own, which notes when each key-down is
// taken off its queue.
class KeyTarget {
public:
    KeyTarget()
        : received_(::CreateEventW(nullptr, FALSE, FALSE, nullptr)),
          ready_(::CreateEventW(nullptr, TRUE, FALSE, nullptr)), thread_([this] { run(); }) {
        if (::WaitForSingleObject(ready_.get(), 10000) != WAIT_OBJECT_0 || !focused_) {
            stop_ = true;
            thread_.join();
            throw AppException(L"the key window did not get the focus");
        }
    }
    KeyTarget(const KeyTarget&) = delete;
    KeyTarget& operator=(const KeyTarget&) = delete;
    ~KeyTarget() {
        stop_ = true;
        thread_.join();
    }

    // Milliseconds from the key-down's SendInput to its WM_KEYDOWN in the window.
    double press() {
        ::ResetEvent(received_.get());
        const double start = nowMs();
        send(0);
        const bool arrived = ::WaitForSingleObject(received_.get(), 10000) == WAIT_OBJECT_0;
        send(KEYEVENTF_KEYUP);
        if (!arrived)
            throw AppException(L"a key never reached the window");
        return receivedAt_ - start;
    }

private:
    static void send(DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = kKey;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(kKey, MAPVK_VK_TO_VSC));
        input.ki.dwFlags = flags;
        ::SendInput(1, &input, sizeof input);
    }

    void run() {
        Window window;
        if (window.create(WS_EX_TOPMOST, Window::registerClass(0, nullptr, nullptr, nullptr),
                          L"keys", WS_POPUP | WS_VISIBLE, RECT{50, 50, 250, 150}, nullptr, 0)) {
            ::SetForegroundWindow(window.hwnd());
            ::SetFocus(window.hwnd());
            focused_ = ::GetFocus() == window.hwnd();
        }
        ::SetEvent(ready_.get());
        MSG msg;
        while (!stop_) {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_KEYDOWN && msg.wParam == kKey) {
                    receivedAt_ = nowMs();
                    ::SetEvent(received_.get());
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
    }

    UniqueHandle received_;
    UniqueHandle ready_;
    std::atomic<double> receivedAt_{0};
    std::atomic<bool> focused_{false};
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

void takeMessages() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// The GUI thread's two ways of spending the time while another thread presses the keys.
void idle(const std::atomic<bool>& done) {
    while (!done) {
        takeMessages();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    }
}

void encoding(const std::atomic<bool>& done, const cFrame& frame) {
    while (!done) {
        DiscardingFile nowhere;
        writeFrameAs(0, &frame, &nowhere, nullptr);
        takeMessages();
    }
}

// Presses the keys from another thread, a few milliseconds apart so that they meet the GUI thread
// at different points of its work, while this thread does guiWork.
std::vector<double> pressKeys(KeyTarget& target,
                              const std::function<void(const std::atomic<bool>&)>& guiWork) {
    std::vector<double> delays;
    std::atomic<bool> done{false};
    std::wstring failure;
    std::thread presser([&] {
        try {
            for (int i = 0; i < kKeysPerRound; ++i) {
                ::Sleep(10 + (i * 7) % 30);
                delays.push_back(target.press());
            }
        } catch (const AppException& error) {
            failure = error.message();
        }
        done = true;
    });
    guiWork(done);
    presser.join();
    if (!failure.empty())
        throw AppException(failure);
    return delays;
}

LRESULT CALLBACK passThrough(int code, WPARAM kind, LPARAM event) {
    return ::CallNextHookEx(nullptr, code, kind, event);
}

struct Case {
    const wchar_t* label;
    std::function<std::vector<double>()> run;
    std::vector<double> delays;
};

} // namespace

void benchKeyDelay(int runs) {
    KeyTarget target;
    const FramePtr frame = makeScreenLikeFrame(1920, 1080);
    const cHotKeySettings table;
    const auto busy = [&](const std::atomic<bool>& done) { encoding(done, *frame); };
    const auto onHookThread = [&](const std::function<void(const std::atomic<bool>&)>& work) {
        KeyboardHook hook;
        hook.install(::GetCurrentThreadId(), table);
        return pressKeys(target, work);
    };
    std::vector<Case> cases{
        {L"no hook", [&] { return pressKeys(target, idle); }, {}},
        {L"hook thread, GUI thread idle", [&] { return onHookThread(idle); }, {}},
        {L"hook thread, GUI thread encoding", [&] { return onHookThread(busy); }, {}},
        {L"hook on the GUI thread, encoding",
         [&] {
             UniqueHook hook(
                 ::SetWindowsHookExW(WH_KEYBOARD_LL, passThrough, ::GetModuleHandleW(nullptr), 0));
             if (!hook)
                 throw AppException(L"no hook");
             return pressKeys(target, busy);
         },
         {}}};
    // Round after round, every case once, so a busy moment of the machine spreads over all of
    // them; the first round warms up and is not counted.
    for (int round = 0; round <= runs; ++round)
        for (Case& one : cases) {
            std::vector<double> delays = one.run();
            if (round > 0)
                one.delays.insert(one.delays.end(), delays.begin(), delays.end());
        }
    for (Case& one : cases) {
        std::vector<double>& ms = one.delays;
        std::sort(ms.begin(), ms.end());
        const double median =
            ms.size() % 2 ? ms[ms.size() / 2] : (ms[ms.size() / 2 - 1] + ms[ms.size() / 2]) / 2;
        std::wprintf(L"KEY\t%ls\t%u\t%.2f\t%.2f\t%.2f\n", one.label,
                     static_cast<unsigned>(ms.size()), ms.front(), median, ms.back());
    }
    std::fflush(stdout);
}
