#include "hotkeys/CaptureRequest.h"
#include "hotkeys/KeyboardHook.h"
#include "platform/Window.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Presses keys through SendInput and lets go of every key still down when it goes away, also when a
// test fails half way, so later tests start with a clean keyboard. Modifiers are pressed by their
// left or right codes, as a real keyboard reports them; a generic code given to SendInput would
// reach the hook unchanged.
class Keyboard {
public:
    Keyboard() = default;
    Keyboard(const Keyboard&) = delete;
    Keyboard& operator=(const Keyboard&) = delete;
    ~Keyboard() {
        while (!held_.empty())
            up(held_.back());
    }

    void down(WORD key) {
        send(key, 0);
        if (std::find(held_.begin(), held_.end(), key) == held_.end())
            held_.push_back(key);
    }
    void up(WORD key) {
        send(key, KEYEVENTF_KEYUP);
        held_.erase(std::remove(held_.begin(), held_.end(), key), held_.end());
    }
    void tap(WORD key) {
        down(key);
        up(key);
    }

private:
    static void send(WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.wScan = static_cast<WORD>(::MapVirtualKeyW(key, MAPVK_VK_TO_VSC));
        if (key == VK_INSERT || key == VK_DELETE || (key >= VK_PRIOR && key <= VK_DOWN) ||
            key == VK_RCONTROL || key == VK_RMENU)
            flags |= KEYEVENTF_EXTENDEDKEY;
        input.ki.dwFlags = flags;
        ASSERT_EQ(::SendInput(1, &input, sizeof input), 1u);
    }

    std::vector<WORD> held_;
};

// A window that notes the keys it receives.
class KeyWindow : public Window {
public:
    std::vector<WPARAM> keysDown;

protected:
    bool onKeyDown(UINT key, int, UINT) override {
        keysDown.push_back(key);
        return false;
    }
};

// A window in front with the focus, run by a thread of its own, which notes the keys it receives.
class FocusedWindowThread {
public:
    FocusedWindowThread() : thread_([this] { run(); }) {}
    FocusedWindowThread(const FocusedWindowThread&) = delete;
    FocusedWindowThread& operator=(const FocusedWindowThread&) = delete;
    ~FocusedWindowThread() {
        stop_ = true;
        thread_.join();
    }

    // Waits at most 5 s for the window to take the focus.
    bool focused() const {
        for (int i = 0; i < 500 && !ready_; ++i)
            ::Sleep(10);
        return ready_ && focused_;
    }
    std::vector<WPARAM> keysDown() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return keysDown_;
    }

private:
    void run() {
        KeyWindow window;
        if (window.create(WS_EX_TOPMOST, Window::registerClass(0, nullptr, nullptr, nullptr),
                          L"keys", WS_POPUP | WS_VISIBLE, RECT{50, 50, 250, 150}, nullptr, 0)) {
            ::SetForegroundWindow(window.hwnd());
            ::SetFocus(window.hwnd());
            focused_ = ::GetFocus() == window.hwnd();
        }
        ready_ = true;
        MSG msg;
        while (!stop_) {
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_KEYDOWN) {
                    std::lock_guard<std::mutex> lock(mutex_);
                    keysDown_.push_back(msg.wParam);
                }
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }

    std::atomic<bool> stop_{false};
    std::atomic<bool> ready_{false};
    std::atomic<bool> focused_{false};
    mutable std::mutex mutex_;
    std::vector<WPARAM> keysDown_;
    std::thread thread_;
};

class KeyboardHookTest : public ::testing::Test {
protected:
    void SetUp() override { hook.install(::GetCurrentThreadId(), table); }

    // Runs the thread's messages until done() holds (at most 5 s). Capture requests are thread
    // messages, without a window, so they are taken off the queue here.
    bool pumpUntil(const std::function<bool()>& done) {
        const DWORD start = ::GetTickCount();
        MSG msg;
        while (!done()) {
            if (::GetTickCount() - start > 5000)
                return false;
            while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.hwnd == nullptr && msg.message == WM_CAPTURE_REQUEST)
                    requests.push_back(msg.wParam);
                ::TranslateMessage(&msg);
                ::DispatchMessageW(&msg);
            }
            ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }

    bool waitForRequests(std::size_t count) {
        return pumpUntil([&] { return requests.size() >= count; });
    }

    // Posts stay in the order of the key events, so once the request of a later key has arrived,
    // any request of the keys before it has arrived too: the marker proves that nothing else came.
    void pressMarker(WORD key) {
        keys.tap(key);
        ASSERT_TRUE(waitForRequests(requests.size() + 1)) << "the marker key posted nothing";
    }

    cHotKeySettings table;
    KeyboardHook hook;
    Keyboard keys;
    std::vector<WPARAM> requests;
};

using Requests = std::vector<WPARAM>;

TEST_F(KeyboardHookTest, DefaultCombinationsPostTheirModes) {
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.tap('F');
    keys.tap('A');
    keys.tap('S');
    keys.tap('E');
    ASSERT_TRUE(waitForRequests(4));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureForegroundWindow, CaptureRegion,
                                  CaptureRegionEdit}));
}

TEST_F(KeyboardHookTest, MissingModifierPostsNothing) {
    keys.down(VK_LCONTROL);
    keys.tap('F');
    keys.up(VK_LCONTROL);
    keys.tap('F');
    table.select = {VK_F12};
    table.publish();
    pressMarker(VK_F12);
    EXPECT_EQ(requests, (Requests{CaptureRegion}));
}

TEST_F(KeyboardHookTest, OrderOfHeldKeysAndExtraHeldKeysDoNotMatter) {
    keys.down(VK_LSHIFT);
    keys.down(VK_LCONTROL);
    keys.tap('F');
    keys.down(VK_INSERT);
    keys.tap('F');
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureFullScreen}));
}

TEST_F(KeyboardHookTest, LeftAndRightModifiersBothCount) {
    keys.down(VK_RCONTROL);
    keys.down(VK_RSHIFT);
    keys.tap('A');
    keys.up(VK_RCONTROL);
    keys.up(VK_RSHIFT);
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.tap('S');
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(requests, (Requests{CaptureForegroundWindow, CaptureRegion}));
}

// SendInput events are not repeated by anything, so the test repeats the key-down itself, at the
// pace of the system's auto-repeat.
TEST_F(KeyboardHookTest, HeldCombinationPostsOnceUntilItsKeyGoesUp) {
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    for (int i = 0; i < 60; ++i) {
        keys.down('F');
        ::Sleep(33);
    }
    keys.up('F');
    keys.tap('F');
    keys.tap('S');
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureFullScreen, CaptureRegion}));
}

TEST_F(KeyboardHookTest, HeldCombinationLeavesOtherCombinationsFree) {
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.down('F');
    keys.down('F');
    keys.down('A');
    keys.down('A');
    keys.up('A');
    keys.down('F');
    keys.up('F');
    keys.tap('S');
    ASSERT_TRUE(waitForRequests(3));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureForegroundWindow, CaptureRegion}));
}

TEST_F(KeyboardHookTest, OneKeyEntryFiresAloneAndWithOtherKeysHeld) {
    table.active = {VK_F12};
    table.publish();
    keys.tap(VK_F12);
    keys.down(VK_LCONTROL);
    keys.tap(VK_F12);
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(requests, (Requests{CaptureForegroundWindow, CaptureForegroundWindow}));
}

TEST_F(KeyboardHookTest, GenericModifierAsTriggerNeverFires) {
    table.full = {VK_CONTROL};
    table.active = {VK_SHIFT, VK_CONTROL};
    table.select = {VK_F12};
    table.publish();
    for (WORD control : {VK_LCONTROL, VK_RCONTROL}) {
        keys.tap(control);
        keys.down(VK_LSHIFT);
        keys.tap(control);
        keys.up(VK_LSHIFT);
    }
    pressMarker(VK_F12);
    EXPECT_EQ(requests, (Requests{CaptureRegion}));
}

TEST_F(KeyboardHookTest, SystemKeyDownNeverPosts) {
    table.full = {'F'};
    table.select = {VK_F12};
    table.publish();
    keys.tap('F');
    keys.down(VK_LMENU);
    keys.tap('F');
    keys.up(VK_LMENU);
    pressMarker(VK_F12);
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureRegion}));
}

TEST_F(KeyboardHookTest, FirstMatchingEntryWinsAndPostsOnce) {
    table.select = table.full;
    table.publish();
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.tap('F');
    keys.tap('A');
    ASSERT_TRUE(waitForRequests(2));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureForegroundWindow}));

    table.full = {VK_F12};
    table.active = {VK_F12};
    table.select = {VK_F11};
    table.publish();
    keys.up(VK_LCONTROL);
    keys.up(VK_LSHIFT);
    keys.tap(VK_F12);
    pressMarker(VK_F11);
    EXPECT_EQ(requests, (Requests{CaptureFullScreen, CaptureForegroundWindow, CaptureFullScreen,
                                  CaptureRegion}));
}

TEST_F(KeyboardHookTest, EmptyEntriesNeverMatch) {
    table.full.clear();
    table.active.clear();
    table.publish();
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.tap('F');
    keys.tap('A');
    pressMarker('S');
    EXPECT_EQ(requests, (Requests{CaptureRegion}));
}

TEST_F(KeyboardHookTest, ForegroundWindowStillReceivesTheCombination) {
    KeyWindow window;
    ASSERT_TRUE(window.create(WS_EX_TOPMOST, Window::registerClass(0, nullptr, nullptr, nullptr),
                              L"keys", WS_POPUP | WS_VISIBLE, RECT{50, 50, 250, 150}, nullptr, 0));
    ::SetForegroundWindow(window.hwnd());
    ::SetFocus(window.hwnd());
    ASSERT_EQ(::GetFocus(), window.hwnd());

    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.tap('F');
    const auto received = [&](WPARAM key) {
        return std::find(window.keysDown.begin(), window.keysDown.end(), key) !=
               window.keysDown.end();
    };
    EXPECT_TRUE(pumpUntil([&] { return !requests.empty() && received('F'); }));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen}));
    EXPECT_TRUE(received(VK_CONTROL));
    EXPECT_TRUE(received(VK_SHIFT));
    EXPECT_TRUE(received('F'));
}

TEST_F(KeyboardHookTest, RemovedHookPostsNothingAndAnotherFollowsIt) {
    hook.remove();
    EXPECT_FALSE(hook.installed());
    keys.down(VK_LCONTROL);
    keys.down(VK_LSHIFT);
    keys.tap('F');
    KeyboardHook second;
    second.install(::GetCurrentThreadId(), table);
    EXPECT_TRUE(second.installed());
    keys.tap('A');
    ASSERT_TRUE(waitForRequests(1));
    EXPECT_EQ(requests, (Requests{CaptureForegroundWindow}));
}

// The GUI thread stops taking messages for 2 s, as while it encodes a large image. Key presses
// still reach the window in front at once, and the combination pressed meanwhile is handled once
// the GUI thread takes messages again.
TEST_F(KeyboardHookTest, BusyGuiThreadHoldsUpNoKeyAndGetsItsRequestAfterwards) {
    FocusedWindowThread window;
    ASSERT_TRUE(window.focused());
    std::atomic<bool> pressed{false};
    std::thread presser([&] {
        Keyboard typing;
        typing.down(VK_LCONTROL);
        typing.down(VK_LSHIFT);
        typing.tap('F');
        typing.up(VK_LSHIFT);
        typing.up(VK_LCONTROL);
        typing.tap('Q');
        pressed = true;
    });
    ::Sleep(2000);
    const std::vector<WPARAM> receivedWhileBusy = window.keysDown();

    EXPECT_TRUE(pumpUntil([&] { return pressed && !requests.empty(); }));
    presser.join();
    EXPECT_EQ(receivedWhileBusy, (std::vector<WPARAM>{VK_CONTROL, VK_SHIFT, 'F', 'Q'}));
    EXPECT_EQ(requests, (Requests{CaptureFullScreen}));
}

} // namespace
