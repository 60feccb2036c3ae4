#include "platform/Dialog.h"
#include "res/resource.h"
#include "support/FakeShellTray.h"
#include "support/PaintedWindow.h"
#include "ui/CSystemTray.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <thread>

namespace {

constexpr UINT kTrayMessage = WM_APP + 17;

struct Commands : ITrayCommands {
    bool open = false;
    int preferencesRequests = 0;
    std::function<void()> preferences;
    std::size_t unsent = 0;
    int resendRequests = 0;
    std::vector<stRecentUpload> recent;
    std::vector<std::wstring> copied;
    int sessionEnds = 0;
    bool isPreferencesOpen() const override { return open; }
    bool isEditorOpen() const override { return editorOpen; }
    bool editorOpen = false;
    void showPreferences() override {
        ++preferencesRequests;
        if (preferences)
            preferences();
    }
    std::size_t unsentCount() const override { return unsent; }
    void resendUnsent() override { ++resendRequests; }
    std::vector<stRecentUpload> recentUploads() const override { return recent; }
    void copyAddress(const std::wstring& address) override { copied.push_back(address); }
    void endSession() override { ++sessionEnds; }
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

constexpr int kWorkers = 4;
constexpr int kBalloonsEach = 25;

std::wstring workerTag(int worker, int balloon) {
    return std::to_wstring(worker) + L"-" + std::to_wstring(balloon) + L";";
}

std::vector<std::thread> startBalloonWorkers(CSystemTray& tray) {
    std::vector<std::thread> workers;
    for (int t = 0; t < kWorkers; ++t)
        workers.emplace_back([&tray, t] {
            for (int i = 0; i < kBalloonsEach; ++i)
                tray.displayBalloon(t % 2 ? CSystemTray::kBalloonError : CSystemTray::kBalloonInfo,
                                    (L"title " + workerTag(t, i)).c_str(),
                                    (L"text " + workerTag(t, i)).c_str());
        });
    return workers;
}

// The workers' balloons that arrived with their own title and text together.
int wholeWorkerBalloons(const std::vector<FakeShellTray::Request>& requests) {
    int whole = 0;
    for (int t = 0; t < kWorkers; ++t)
        for (int i = 0; i < kBalloonsEach; ++i)
            for (const auto& request : requests)
                if (request.contains(L"title " + workerTag(t, i))) {
                    whole += request.contains(L"text " + workerTag(t, i)) ? 1 : 0;
                    break;
                }
    return whole;
}

TEST_F(SystemTrayTest, ConcurrentBalloonsEachArriveWhole) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    shell.clear();
    for (auto& worker : startBalloonWorkers(tray))
        worker.join();
    ASSERT_TRUE(shell.waitForRequests(kWorkers * kBalloonsEach));
    auto requests = shell.requests();
    ASSERT_EQ(requests.size(), static_cast<std::size_t>(kWorkers * kBalloonsEach));
    EXPECT_EQ(wholeWorkerBalloons(requests), kWorkers * kBalloonsEach);
}

// Ends the test program when the code under test stays blocked, as a deadlock would leave it.
class Watchdog {
public:
    explicit Watchdog(const char* what, DWORD timeoutMs = 10000) {
        ::CreateTimerQueueTimer(&timer_, nullptr, &Watchdog::fire, const_cast<char*>(what),
                                timeoutMs, 0, WT_EXECUTEONLYONCE);
    }
    ~Watchdog() { ::DeleteTimerQueueTimer(nullptr, timer_, INVALID_HANDLE_VALUE); }

private:
    static void CALLBACK fire(void* what, BOOLEAN) {
        std::fprintf(stderr, "%s: still blocked\n", static_cast<const char*>(what));
        std::fflush(stderr);
        ::TerminateProcess(::GetCurrentProcess(), 3);
    }
    HANDLE timer_ = nullptr;
};

// The first balloon's shell call brings a double-click on the icon with it: the GUI thread handles
// it while it waits in that call, as it does a real click arriving then.
void doubleClickDuringFirstBalloon(FakeShellTray& shell, HWND trayWindow) {
    auto clicked = std::make_shared<std::atomic<bool>>(false);
    shell.setOnRequest([clicked, trayWindow](const FakeShellTray::Request& request) {
        if (request.message == NIM_MODIFY && !clicked->exchange(true))
            ::SendMessageW(trayWindow, kTrayMessage, CSystemTray::kIconId, WM_LBUTTONDBLCLK);
    });
}

// A dialog without controls, for a modal loop of our own.
struct alignas(4) EmptyDialogTemplate {
    DLGTEMPLATE header{WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 40, 40, 120, 40};
    WORD menu = 0, windowClass = 0, title = 0;
};

// Ends the dialog once every worker balloon arrived, or when it waited long enough.
struct OpenDialogWatch {
    FakeShellTray& shell;
    Dialog& dialog;
    DWORD start = ::GetTickCount();
    bool ended = false;
    int wholeWhileOpen = 0;

    static void CALLBACK tick(HWND, UINT, UINT_PTR self, DWORD) {
        auto& watch = *reinterpret_cast<OpenDialogWatch*>(self);
        if (watch.ended)
            return;
        watch.wholeWhileOpen = wholeWorkerBalloons(watch.shell.requests());
        if (watch.wholeWhileOpen < kWorkers * kBalloonsEach &&
            ::GetTickCount() - watch.start < 10000)
            return;
        watch.ended = true;
        watch.dialog.endDialog(IDOK);
    }
};

// A double-click during a balloon's shell call opens a modal dialog (as the preferences do) inside
// that call: a balloon of the GUI thread shown then, and the workers' balloons while the dialog is
// open, all arrive.
TEST_F(SystemTrayTest, BalloonsArriveWhileADialogOpenedDuringABalloonRuns) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    shell.clear();
    doubleClickDuringFirstBalloon(shell, tray.hwnd());
    std::vector<std::thread> workers;
    int wholeWhileOpen = -1;
    INT_PTR dialogResult = 0;
    bool inner = false;
    commands.preferences = [&] {
        inner = tray.displayBalloon(CSystemTray::kBalloonError, L"inner title", L"inner text");
        EmptyDialogTemplate emptyDialog;
        Dialog dialog(&emptyDialog.header);
        OpenDialogWatch watch{shell, dialog};
        const auto watchId = reinterpret_cast<UINT_PTR>(&watch);
        ::SetTimer(tray.hwnd(), watchId, 20, &OpenDialogWatch::tick);
        workers = startBalloonWorkers(tray);
        dialogResult = dialog.runModal(nullptr);
        ::KillTimer(tray.hwnd(), watchId);
        wholeWhileOpen = watch.wholeWhileOpen;
    };
    bool outer = false;
    {
        Watchdog watchdog("balloon that opened a modal dialog", 30000);
        outer = tray.displayBalloon(CSystemTray::kBalloonInfo, L"outer title", L"outer text");
    }
    for (auto& worker : workers)
        worker.join();
    EXPECT_TRUE(outer);
    EXPECT_TRUE(inner);
    EXPECT_EQ(commands.preferencesRequests, 1);
    EXPECT_EQ(dialogResult, IDOK);
    EXPECT_EQ(wholeWhileOpen, kWorkers * kBalloonsEach);
    // The outer request is recorded before the shell calls back, the inner one during that.
    auto requests = shell.requests();
    ASSERT_GE(requests.size(), 2u);
    EXPECT_TRUE(requests[0].contains(L"outer title") && requests[0].contains(L"outer text"));
    EXPECT_TRUE(requests[1].contains(L"inner title") && requests[1].contains(L"inner text"));
}

TEST_F(SystemTrayTest, ExitQuitsUnlessThePreferencesOrTheEditorAreOpen) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    int code = -1;
    commands.open = true;
    ::SendMessageW(tray.hwnd(), WM_COMMAND, ID_EXIT, 0);
    EXPECT_FALSE(quitPosted(code));
    commands.open = false;
    commands.editorOpen = true;
    ::SendMessageW(tray.hwnd(), WM_COMMAND, ID_EXIT, 0);
    EXPECT_FALSE(quitPosted(code));
    commands.editorOpen = false;
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
    // Every item's caption, with " (grey)" after those that can't be chosen.
    std::vector<std::wstring> items;
    // The captions of the recent uploads' submenu.
    std::vector<std::wstring> recent;
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
            const int count = ::GetMenuItemCount(menu);
            ::GetMenuStringW(menu, static_cast<UINT>(count - 1), text, 64, MF_BYPOSITION);
            lastItem = text;
            for (int i = 0; i < count; ++i) {
                ::GetMenuStringW(menu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                const UINT state = ::GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION);
                const bool grey = !(state & MF_SEPARATOR) && (state & (MF_GRAYED | MF_DISABLED));
                items.push_back(std::wstring(text) + (grey ? L" (grey)" : L""));
            }
            if (HMENU submenu = ::GetSubMenu(menu, 1))
                for (int i = 0; i < ::GetMenuItemCount(submenu); ++i) {
                    ::GetMenuStringW(submenu, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
                    recent.push_back(text);
                }
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
    // Nothing uploaded, nothing waiting: both new items are there and can't be chosen.
    EXPECT_EQ(probe.items,
              (std::vector<std::wstring>{L"参数选择...", L"最近上传 (grey)",
                                         L"重新上传未发送的截图 (0) (grey)", L"", L"退出"}));
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
    std::thread prober = probe.answer({}, 4);
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

// The recent uploads, newest first by file name, copy their own address; the unsent captures'
// item says how many wait and sends them.
TEST_F(SystemTrayTest, MenuOffersTheRecentUploadsAndTheUnsentCaptures) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    commands.unsent = 3;
    for (int i = 12; i >= 1; --i)
        commands.recent.push_back({L"shot_" + std::to_wstring(i) + L".png",
                                   L"http://x.example/shot_" + std::to_wstring(i) + L".png"});
    // Down to the recent uploads, into them, down to the second, chosen.
    MenuProbe probe;
    std::thread prober = probe.answer({VK_DOWN, VK_DOWN, VK_RIGHT, VK_DOWN, VK_RETURN});
    ::SendMessageW(tray.hwnd(), kTrayMessage, CSystemTray::kIconId, WM_RBUTTONUP);
    prober.join();
    ASSERT_TRUE(probe.seen);
    EXPECT_EQ(probe.items, (std::vector<std::wstring>{L"参数选择...", L"最近上传",
                                                      L"重新上传未发送的截图 (3)", L"", L"退出"}));
    pumpMessagesFor(300);
    EXPECT_EQ(commands.copied, std::vector<std::wstring>{L"http://x.example/shot_11.png"});

    // Ten at most; the unsent item sends.
    MenuProbe again;
    prober = again.answer({VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN});
    ::SendMessageW(tray.hwnd(), kTrayMessage, CSystemTray::kIconId, WM_RBUTTONUP);
    prober.join();
    pumpMessagesFor(300);
    EXPECT_EQ(commands.resendRequests, 1);
    ASSERT_EQ(again.recent.size(), CSystemTray::kRecentShown);
    EXPECT_EQ(again.recent.front(), L"shot_12.png");
    EXPECT_EQ(again.recent.back(), L"shot_3.png");
}

// Logoff and shutdown: the session may end, and the application hears of it once it does.
TEST_F(SystemTrayTest, TheEndOfTheSessionReachesTheApplication) {
    CSystemTray tray(commands);
    ASSERT_TRUE(tray.addTrayIcon(kTrayMessage, programIcon()));
    EXPECT_EQ(::SendMessageW(tray.hwnd(), WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), TRUE);
    ::SendMessageW(tray.hwnd(), WM_ENDSESSION, FALSE, ENDSESSION_LOGOFF);
    EXPECT_EQ(commands.sessionEnds, 0) << "a cancelled end is no end";
    ::SendMessageW(tray.hwnd(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
    EXPECT_EQ(commands.sessionEnds, 1);
}

} // namespace
