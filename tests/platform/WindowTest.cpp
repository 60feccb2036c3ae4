#include "platform/MemoryException.h"
#include "platform/MessagePump.h"
#include "platform/Window.h"
#include "support/PaintedWindow.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class RecordingWindow : public Window {
public:
    std::vector<UINT> seen;
    std::vector<std::wstring> reported;
    int throwOn = -1;
    int endLoopOn = -1;

protected:
    bool onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT&) override {
        seen.push_back(message);
        if (static_cast<int>(message) == throwOn)
            throw MemoryException();
        if (static_cast<int>(message) == endLoopOn)
            endModalLoop(static_cast<int>(wParam));
        return false;
    }
    void onUnhandledException(const AppException& error) noexcept override {
        reported.push_back(error.message());
    }
};

RECT smallRect() {
    return RECT{10, 10, 110, 60};
}

std::wstring plainClass() {
    return Window::registerClass(0, nullptr, nullptr, nullptr);
}

TEST(WindowTest, ObjectSeesItsMessagesFromNcCreateOn) {
    RecordingWindow window;
    ASSERT_TRUE(window.create(0, plainClass(), L"t", WS_POPUP, smallRect(), nullptr, 0));
    ASSERT_FALSE(window.seen.empty());
    // WM_GETMINMAXINFO comes first and goes to the default procedure, before the object is known.
    EXPECT_EQ(window.seen.front(), static_cast<UINT>(WM_NCCREATE));
    EXPECT_NE(std::find(window.seen.begin(), window.seen.end(), static_cast<UINT>(WM_CREATE)),
              window.seen.end());
    HWND hwnd = window.hwnd();
    EXPECT_EQ(reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA)), &window);
    window.destroy();
    EXPECT_EQ(window.hwnd(), nullptr);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(WindowTest, RegisteringTheSameClassTwiceGivesOneName) {
    HCURSOR cross = ::LoadCursorW(nullptr, IDC_CROSS);
    EXPECT_EQ(Window::registerClass(CS_DBLCLKS, cross, nullptr, nullptr),
              Window::registerClass(CS_DBLCLKS, cross, nullptr, nullptr));
    EXPECT_NE(Window::registerClass(CS_DBLCLKS, cross, nullptr, nullptr), plainClass());
    WNDCLASSEXW info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(::GetClassInfoExW(
        ::GetModuleHandleW(nullptr),
        Window::registerClass(CS_DBLCLKS, cross, nullptr, nullptr).c_str(), &info));
    EXPECT_EQ(info.style, static_cast<UINT>(CS_DBLCLKS));
    EXPECT_EQ(info.hCursor, cross);
}

TEST(WindowTest, ExceptionInAHandlerIsCaughtAtTheWindowAndReported) {
    RecordingWindow window;
    window.throwOn = WM_USER + 5;
    ASSERT_TRUE(window.create(0, plainClass(), L"t", WS_POPUP, smallRect(), nullptr, 0));
    EXPECT_EQ(::SendMessageW(window.hwnd(), WM_USER + 5, 0, 0), 0);
    ASSERT_EQ(window.reported.size(), 1u);
    EXPECT_EQ(window.reported[0], L"内存不足.");
    EXPECT_TRUE(::IsWindow(window.hwnd()));
}

TEST(WindowTest, ModalLoopEndsFromAHandlerWithItsResult) {
    RecordingWindow window;
    window.endLoopOn = WM_USER + 7;
    ASSERT_TRUE(window.create(0, plainClass(), L"t", WS_POPUP, smallRect(), nullptr, 0));
    ::PostMessageW(window.hwnd(), WM_USER + 7, 42, 0);
    EXPECT_EQ(window.runModalLoop(), 42);
    EXPECT_FALSE(window.inModalLoop());
}

TEST(WindowTest, ModalLoopHandsThreadMessagesToTheThreadHandler) {
    RecordingWindow window;
    window.endLoopOn = WM_USER + 7;
    ASSERT_TRUE(window.create(0, plainClass(), L"t", WS_POPUP, smallRect(), nullptr, 0));
    std::vector<WPARAM> threadMessages;
    MessagePump::setThreadMessageHandler([&](const MSG& msg) {
        if (msg.message == 0x6A6)
            threadMessages.push_back(msg.wParam);
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), 0x6A6, 2, 0);
    ::PostMessageW(window.hwnd(), WM_USER + 7, 1, 0);
    EXPECT_EQ(window.runModalLoop(), 1);
    MessagePump::setThreadMessageHandler(nullptr);
    EXPECT_EQ(threadMessages, std::vector<WPARAM>{2});
}

TEST(WindowTest, DestroyingTheWindowEndsItsModalLoop) {
    RecordingWindow window;
    window.endLoopOn = -1;
    ASSERT_TRUE(window.create(0, plainClass(), L"t", WS_POPUP, smallRect(), nullptr, 0));
    HWND hwnd = window.hwnd();
    ::SetTimer(hwnd, 1, 50, [](HWND h, UINT, UINT_PTR, DWORD) { ::DestroyWindow(h); });
    EXPECT_EQ(window.runModalLoop(), -1);
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(WindowTest, QuitDuringAModalLoopIsLeftForTheOuterLoop) {
    RecordingWindow window;
    ASSERT_TRUE(window.create(0, plainClass(), L"t", WS_POPUP, smallRect(), nullptr, 0));
    ::PostQuitMessage(3);
    EXPECT_EQ(window.runModalLoop(), -1);
    EXPECT_EQ(MessagePump::runUntilQuit(), 3);
}

} // namespace
