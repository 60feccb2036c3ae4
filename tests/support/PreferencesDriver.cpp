#include "support/PreferencesDriver.h"

#include "app/AppFolders.h"
#include "platform/MessagePump.h"
#include "res/PreferencesIds.h"
#include "support/PaintedWindow.h"

#include <commctrl.h>
#include <ole2.h>

namespace PreferencesDriver {

namespace {

const wchar_t* const kCaption = L"参数选择...";

} // namespace

HWND preferencesWindow() {
    HWND window = ::FindWindowW(L"#32770", kCaption);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// The pages are the dialog's child dialogs, in the order shown last first; the General page is the
// one with the start-up check box.
HWND page(int index) {
    HWND dialog = preferencesWindow();
    for (HWND child = ::FindWindowExW(dialog, nullptr, L"#32770", nullptr); child;
         child = ::FindWindowExW(dialog, child, L"#32770", nullptr))
        if ((::GetDlgItem(child, IDC_RUN_AT_STARTUP) != nullptr) == (index == 0))
            return child;
    return nullptr;
}

HWND pageControl(int index, int id) {
    return ::GetDlgItem(page(index), id);
}

HWND dialogAbovePreferences() {
    struct Search {
        HWND owner;
        HWND found = nullptr;
    } search{preferencesWindow()};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM data) -> BOOL {
            auto* s = reinterpret_cast<Search*>(data);
            if (window != s->owner && ::IsWindowVisible(window) &&
                ::GetWindow(window, GW_OWNER) == s->owner)
                s->found = window;
            return s->found == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.owner ? search.found : nullptr;
}

std::wstring messageText(HWND box) {
    wchar_t text[1024] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 1024);
    return text;
}

POINT centreOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

POINT closeBoxOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    POINT client{0, 0};
    ::ClientToScreen(window, &client);
    const int y = (rect.top + client.y) / 2;
    auto isClose = [&](int x) {
        return ::SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE;
    };
    int right = rect.right - 1;
    while (right > rect.left && !isClose(right))
        --right;
    int left = right;
    while (left > rect.left && isClose(left - 1))
        --left;
    return POINT{(left + right) / 2, y};
}

} // namespace PreferencesDriver

using namespace PreferencesDriver;

namespace {

// No key or button left down by an earlier test.
bool inputSettled() {
    for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON})
        if (::GetAsyncKeyState(key) & 0x8000)
            return false;
    return true;
}

} // namespace

void PreferencesTest::SetUpTestSuite() {
    ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
}

void PreferencesTest::TearDownTestSuite() {
    ::OleUninitialize();
}

void PreferencesTest::SetUp() {
    ::DeleteFileW((settingsFolder() + L"Settings.dat").c_str());
    app.setOutputs(&app.disk(), &app.clipboard(), nullptr);
    app.setStatusCallback(&update);
    app.setRunAtStartup(0);
    app.keyboardHook().install(::GetCurrentThreadId(), app.hotKeys());
    MessagePump::setThreadMessageHandler([this](const MSG& msg) { app.handleThreadMessage(msg); });
    ASSERT_TRUE(pumpUntil(inputSettled));
}

void PreferencesTest::TearDown() {
    MessagePump::setThreadMessageHandler(nullptr);
    app.keyboardHook().remove();
    ::DeleteFileW((startupFolder() + L"Morvex.lnk").c_str());
}

void PreferencesTest::waitForDialog(InputScript& script, int pageIndex) {
    script.waitFor([] { return preferencesWindow() != nullptr; }, "the preferences dialog")
        .then([] { ::SetForegroundWindow(preferencesWindow()); })
        .waitFor([] { return ::GetForegroundWindow() == preferencesWindow(); },
                 "the dialog in front");
    if (pageIndex != 0)
        showPage(script, pageIndex);
}

void PreferencesTest::showPage(InputScript& script, int pageIndex) {
    script
        .then([&script, pageIndex] {
            HWND tabs = ::GetDlgItem(preferencesWindow(), IDC_PAGE_TABS);
            RECT tab{};
            TabCtrl_GetItemRect(tabs, pageIndex, &tab);
            ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
            script.click(POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
        })
        .waitFor(
            [pageIndex] {
                return ::IsWindowVisible(page(pageIndex)) &&
                       !::IsWindowVisible(page(1 - pageIndex));
            },
            "the page shown");
}

void PreferencesTest::clickOn(InputScript& script, int pageIndex, int id) {
    script.then([&script, pageIndex, id] { script.click(centreOf(pageControl(pageIndex, id))); });
}

void PreferencesTest::runPreferences(InputScript& script) {
    script.then([&script] { script.click(closeBoxOf(preferencesWindow())); });
    script.onTimeout = [] {
        while (HWND above = dialogAbovePreferences())
            ::SendMessageW(above, WM_COMMAND, IDCANCEL, 0);
        if (HWND dialog = preferencesWindow())
            ::PostMessageW(dialog, WM_CLOSE, 0, 0);
    };
    script.start();
    app.showPreferences();
    EXPECT_FALSE(script.failed()) << script.failure();
    EXPECT_TRUE(script.finished());
    EXPECT_FALSE(app.isPreferencesOpen());
    EXPECT_EQ(preferencesWindow(), nullptr);
}
