#include "res/resource.h"
#include "support/FakeShellTray.h"
#include "support/PaintedWindow.h"
#include "ui/CSystemTray.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

constexpr UINT kTrayMessage = WM_APP + 17;

struct Commands : ITrayCommands {
    bool open = false;
    int preferencesRequests = 0;
    bool isPreferencesOpen() const override { return open; }
    void showPreferences() override { ++preferencesRequests; }
};

HICON programIcon() {
    return static_cast<HICON>(::LoadImageW(::GetModuleHandleW(nullptr),
                                           MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
}

bool quitPosted(int& code) {
    MSG msg;
    if (::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        code = static_cast<int>(msg.wParam);
        return true;
    }
    return false;
}

class SystemTrayTest : public ::testing::Test {
protected:
    FakeShellTray shell;
    Commands commands;
};

TEST_F(SystemTrayTest, AddsTheIconWithItsTipAndRemovesItAtDestruction) {
    HWND hidden = nullptr;
    {
        CSystemTray tray(commands);
        ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
        EXPECT_TRUE(tray.iconAdded());
        hidden = tray.hwnd();
        ASSERT_TRUE(::IsWindow(hidden));
        EXPECT_FALSE(::IsWindowVisible(hidden));
        RECT rect;
        ::GetWindowRect(hidden, &rect);
        EXPECT_EQ(rect.right - rect.left, 10);
        EXPECT_EQ(rect.bottom - rect.top, 10);
        EXPECT_EQ(::GetWindowLongW(hidden, GWL_STYLE) & WS_POPUP, static_cast<LONG>(WS_POPUP));
        ASSERT_TRUE(shell.waitForRequests(1));
        auto requests = shell.requests();
        EXPECT_EQ(requests[0].message, static_cast<DWORD>(NIM_ADD));
        EXPECT_TRUE(requests[0].contains(L"Morvex"));
    }
    ASSERT_TRUE(shell.waitForRequests(2));
    EXPECT_EQ(shell.requests()[1].message, static_cast<DWORD>(NIM_DELETE));
    EXPECT_FALSE(::IsWindow(hidden));
}

TEST_F(SystemTrayTest, BalloonCarriesItsTitleAndText) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    shell.clear();
    EXPECT_TRUE(tray.displayBalloon(CSystemTray::kBalloonError, L"Upload failed", L"No route"));
    ASSERT_TRUE(shell.waitForRequests(1));
    auto request = shell.requests()[0];
    EXPECT_EQ(request.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(request.contains(L"Upload failed"));
    EXPECT_TRUE(request.contains(L"No route"));
}

TEST_F(SystemTrayTest, LongBalloonTextsAreCutToTheShellsFields) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    shell.clear();
    const std::wstring title = std::wstring(62, L't') + L"\xD83D\xDE00" + L"TITLE-END";
    const std::wstring text = std::wstring(300, L'x') + L"TEXT-END";
    tray.displayBalloon(CSystemTray::kBalloonInfo, title.c_str(), text.c_str());
    ASSERT_TRUE(shell.waitForRequests(1));
    auto request = shell.requests()[0];
    EXPECT_TRUE(request.contains(std::wstring(255, L'x')));
    EXPECT_FALSE(request.contains(L"TEXT-END"));
    EXPECT_TRUE(request.contains(std::wstring(62, L't')));
    EXPECT_FALSE(request.contains(L"\xD83D"));
    EXPECT_FALSE(request.contains(L"TITLE-END"));
}

TEST_F(SystemTrayTest, ConcurrentBalloonsEachArriveWhole) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    shell.clear();
    constexpr int kThreads = 4;
    constexpr int kEach = 25;
    std::vector<std::thread> workers;
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([&tray, t] {
            for (int i = 0; i < kEach; ++i) {
                std::wstring id = std::to_wstring(t) + L"-" + std::to_wstring(i);
                tray.displayBalloon(t % 2 ? CSystemTray::kBalloonError : CSystemTray::kBalloonInfo,
                                    (L"title " + id + L";").c_str(),
                                    (L"text " + id + L";").c_str());
            }
        });
    for (auto& worker : workers)
        worker.join();
    ASSERT_TRUE(shell.waitForRequests(kThreads * kEach));
    auto requests = shell.requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(kThreads * kEach));
    int whole = 0;
    for (int t = 0; t < kThreads; ++t)
        for (int i = 0; i < kEach; ++i) {
            std::wstring id = std::to_wstring(t) + L"-" + std::to_wstring(i) + L";";
            for (const auto& request : requests)
                if (request.contains(L"title " + id)) {
                    EXPECT_TRUE(request.contains(L"text " + id))
                        << "torn balloon " << t << "-" << i;
                    ++whole;
                }
        }
    EXPECT_EQ(whole, kThreads * kEach);
}

TEST_F(SystemTrayTest, ExitQuitsUnlessThePreferencesAreOpen) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    int code = -1;
    commands.open = true;
    ::SendMessageW(tray.hwnd(), WM_COMMAND, ID_EXIT, 0);
    EXPECT_FALSE(quitPosted(code));
    commands.open = false;
    ::SendMessageW(tray.hwnd(), WM_COMMAND, ID_EXIT, 0);
    EXPECT_TRUE(quitPosted(code));
    EXPECT_EQ(code, 0);
}

TEST_F(SystemTrayTest, DoubleClickRunsTheDefaultCommandAndSingleClicksDoNothing) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    EXPECT_EQ(::SendMessageW(tray.hwnd(), kTrayMessage, CSystemTray::kIconId, WM_LBUTTONDBLCLK), 1);
    EXPECT_EQ(commands.preferencesRequests, 1);
    for (UINT event : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEMOVE, WM_RBUTTONDBLCLK})
        EXPECT_EQ(::SendMessageW(tray.hwnd(), kTrayMessage, CSystemTray::kIconId, event), 1);
    EXPECT_EQ(commands.preferencesRequests, 1);
}

void click(int x, int y) {
    ::SetCursorPos(x, y);
    INPUT inputs[2] = {};
    inputs[0].type = inputs[1].type = INPUT_MOUSE;
    inputs[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
}

// Finds the shown pop-up menu, reads it, and answers it with the given keys.
struct MenuProbe {
    std::atomic<bool> seen{false};
    std::wstring firstItem;
    std::wstring lastItem;
    UINT defaultItem = 0;
    RECT where{};

    // Answers with keys posted to the menu, or, when clickItem is not negative, with a click on
    // that item through the real input queue.
    std::thread answer(std::vector<WPARAM> keys, int clickItem = -1) {
        return std::thread([this, keys, clickItem] {
            HWND menuWindow = nullptr;
            for (int i = 0; i < 500 && !menuWindow; ++i) {
                menuWindow = ::FindWindowW(L"#32768", nullptr);
                if (menuWindow && !::IsWindowVisible(menuWindow))
                    menuWindow = nullptr;
                if (!menuWindow)
                    ::Sleep(10);
            }
            if (!menuWindow)
                return;
            HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
            wchar_t text[64] = {};
            ::GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
            firstItem = text;
            ::GetMenuStringW(menu, 2, text, 64, MF_BYPOSITION);
            lastItem = text;
            defaultItem = ::GetMenuDefaultItem(menu, FALSE, 0);
            ::GetWindowRect(menuWindow, &where);
            seen = true;
            if (clickItem >= 0) {
                RECT item{};
                ::GetMenuItemRect(nullptr, menu, static_cast<UINT>(clickItem), &item);
                click((item.left + item.right) / 2, (item.top + item.bottom) / 2);
            }
            for (WPARAM key : keys) {
                ::PostMessageW(menuWindow, WM_KEYDOWN, key, 0);
                ::Sleep(50);
            }
        });
    }
};

TEST_F(SystemTrayTest, RightClickShowsTheMenuAtThePointerWithPreferencesAsDefault) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    ::SetCursorPos(500, 400);
    MenuProbe probe;
    std::thread prober = probe.answer({VK_ESCAPE});
    EXPECT_EQ(::SendMessageW(tray.hwnd(), kTrayMessage, CSystemTray::kIconId, WM_RBUTTONUP), 1);
    prober.join();
    ASSERT_TRUE(probe.seen);
    EXPECT_EQ(probe.firstItem, L"参数选择...");
    EXPECT_EQ(probe.lastItem, L"退出");
    EXPECT_EQ(probe.defaultItem, static_cast<UINT>(ID_PREFERENCES));
    EXPECT_EQ(probe.where.left, 500);
    EXPECT_EQ(probe.where.top, 400);
    pumpMessagesFor(100);
    EXPECT_EQ(commands.preferencesRequests, 0); // closed without a command
}

TEST_F(SystemTrayTest, ChoosingExitFromTheMenuQuits) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    MenuProbe probe;
    std::thread prober = probe.answer({}, 2);
    ::SendMessageW(tray.hwnd(), kTrayMessage, CSystemTray::kIconId, WM_RBUTTONUP);
    prober.join();
    ASSERT_TRUE(probe.seen);
    // The chosen command arrives as a posted WM_COMMAND; the quit it causes ends the pumping.
    int code = -1;
    MSG msg;
    DWORD start = ::GetTickCount();
    while (code == -1 && ::GetTickCount() - start < 3000) {
        if (!::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::Sleep(5);
            continue;
        }
        if (msg.message == WM_QUIT)
            code = static_cast<int>(msg.wParam);
        else
            ::DispatchMessageW(&msg);
    }
    EXPECT_EQ(code, 0);
}

} // namespace
