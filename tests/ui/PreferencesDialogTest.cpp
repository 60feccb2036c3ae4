// Drives the preferences dialog as a user does: real clicks and keys (SendInput) into the dialog
// that showPreferences runs, then reads the application's live values, the files of a capture
// taken meanwhile and the settings file saved when the dialog closed.
#include "app/AppFolders.h"
#include "app/CPixlanceApp.h"
#include "platform/DialogData.h"
#include "platform/MessagePump.h"
#include "res/PreferencesIds.h"
#include "settings/cBinSettingBag.h"
#include "support/InputScript.h"
#include "support/PaintedWindow.h"
#include "support/RecordingUpdate.h"
#include "support/Screenshot.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <ole2.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using TestEnvironment::filesIn;

const wchar_t* const kCaption = L"参数选择...";

HWND preferencesWindow() {
    HWND window = ::FindWindowW(L"#32770", kCaption);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// The pages are the dialog's child dialogs (in the order shown last first): 0 is the General
// page, the one with the start-up check box; 1 is the other.
HWND page(int index) {
    HWND dialog = preferencesWindow();
    for (HWND child = ::FindWindowExW(dialog, nullptr, L"#32770", nullptr); child;
         child = ::FindWindowExW(dialog, child, L"#32770", nullptr))
        if ((::GetDlgItem(child, IDC_RUN_AT_STARTUP) != nullptr) == (index == 0))
            return child;
    return nullptr;
}

HWND generalControl(int id) {
    return ::GetDlgItem(page(0), id);
}

// A visible dialog of this thread other than the preferences, owned by them.
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

POINT centreOf(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// The middle of the window's close box, found the way the system finds it.
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

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring settingsFile() {
    return settingsFolder() + L"Settings.dat";
}

class PreferencesDialogTest : public ::testing::Test {
protected:
    // As the program's start-up does: the shell's picker and links are COM objects.
    static void SetUpTestSuite() { ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr))); }
    static void TearDownTestSuite() { ::OleUninitialize(); }

    void SetUp() override {
        ::DeleteFileW(settingsFile().c_str());
        // No uploads from here: the captures of these tests go to disk only.
        app.setOutputs(&app.disk, &app.clipboard, nullptr);
        app.setStatusCallback(&update);
        app.runAtStartup = 0;
        app.keyboardHook.install(::GetCurrentThreadId(), app.hotKeys);
        MessagePump::setThreadMessageHandler(
            [this](const MSG& msg) { app.handleThreadMessage(msg); });
        ASSERT_TRUE(pumpUntil(inputSettled));
    }
    void TearDown() override {
        MessagePump::setThreadMessageHandler(nullptr);
        app.keyboardHook.remove();
        ::DeleteFileW((startupFolder() + L"Morvex.lnk").c_str());
    }

    // No key or button left down by an earlier test.
    static bool inputSettled() {
        for (int key : {VK_SHIFT, VK_CONTROL, VK_MENU, VK_LBUTTON})
            if (::GetAsyncKeyState(key) & 0x8000)
                return false;
        return true;
    }

    // The script's first steps wait for the dialog and bring it to the front.
    void waitForDialog(InputScript& script) {
        script.waitFor([] { return preferencesWindow() != nullptr; }, "the preferences dialog")
            .then([] { ::SetForegroundWindow(preferencesWindow()); })
            .waitFor([] { return ::GetForegroundWindow() == preferencesWindow(); },
                     "the dialog in front");
    }

    void clickOn(InputScript& script, int id) {
        script.then([&script, id] { script.click(centreOf(generalControl(id))); });
    }

    // Runs the preferences as the icon's menu does while the script plays the user; the script
    // ends by closing the dialog. A script that times out closes every dialog of the thread.
    void runPreferences(InputScript& script) {
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
        EXPECT_EQ(::FindWindowW(L"#32770", kCaption), nullptr);
    }

    RecordingUpdate update;
    CPixlanceApp app;
};

// Opening shows the live values (and repairs the format the page does not offer), each click goes
// straight into the application, both pages fill the tabs' area, and the close box saves it all.
TEST_F(PreferencesDialogTest, ShowsTheLiveValuesChangesThemAtEachClickAndSavesThemOnClose) {
    app.ftp.setCopyUrl(false);
    app.ftp.setOpenBrowser(false);
    app.clipboardOutputOn = 1;
    app.diskOutputOn = 0;
    app.disk.setFolder(L"C:\\captures");
    app.outputFormat = 2; // BMP
    app.ftp.setTarget(L"ftp.example", L"me", L"pw", L"/shots", true);
    app.ftp.setCustomUrl(L"http://shots.example");

    InputScript script;
    waitForDialog(script);
    script.then([this] {
        HWND general = page(0);
        EXPECT_EQ(DialogData::checked(general, IDC_RUN_AT_STARTUP), 0);
        EXPECT_EQ(DialogData::checked(general, IDC_COPY_URL), 0);
        EXPECT_EQ(DialogData::checked(general, IDC_OPEN_BROWSER), 0);
        EXPECT_EQ(DialogData::checked(general, IDC_COPY_IMAGE), 1);
        EXPECT_EQ(DialogData::checked(general, IDC_SAVE_TO_FOLDER), 0);
        EXPECT_EQ(DialogData::text(general, IDC_FOLDER), L"C:\\captures");
        EXPECT_FALSE(::IsWindowEnabled(generalControl(IDC_FOLDER)));
        EXPECT_FALSE(::IsWindowEnabled(generalControl(IDC_BROWSE_FOLDER)));
        EXPECT_EQ(DialogData::text(general, IDC_FORMAT), L"PNG");
        EXPECT_EQ(::SendMessageW(generalControl(IDC_FORMAT), CB_GETCOUNT, 0, 0), 2);
        EXPECT_EQ(app.outputFormat, 0) << "the live value is repaired, not only the page";

        HWND tabs = ::GetDlgItem(preferencesWindow(), IDC_PAGE_TABS);
        ASSERT_EQ(TabCtrl_GetItemCount(tabs), 2);
        wchar_t text[32] = {};
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = text;
        tab.cchTextMax = 32;
        for (auto [index, expected] : {std::pair{0, L"常规"}, std::pair{1, L"FTP"}}) {
            TabCtrl_GetItem(tabs, index, &tab);
            EXPECT_STREQ(text, expected);
        }
        EXPECT_TRUE(::IsWindowVisible(general));
        EXPECT_FALSE(::IsWindowVisible(page(1)));
        RECT area{};
        ::GetWindowRect(tabs, &area);
        TabCtrl_AdjustRect(tabs, FALSE, &area);
        RECT shown{};
        ::GetWindowRect(general, &shown);
        EXPECT_TRUE(::EqualRect(&area, &shown));
        EXPECT_NE(::SendMessageW(preferencesWindow(), WM_GETICON, ICON_SMALL, 0), 0);
        EXPECT_NE(::SendMessageW(preferencesWindow(), WM_GETICON, ICON_BIG, 0), 0);
        EXPECT_TRUE(saveWindowScreenshot(preferencesWindow(), L"preferences-general.png"));
    });
    // Copying the address clears copying the image, in the page and in the application.
    clickOn(script, IDC_COPY_URL);
    script.waitFor([this] { return app.ftp.copyUrl(); }, "copying the address on");
    script.then([this] {
        EXPECT_EQ(app.clipboardOutputOn, 0);
        EXPECT_EQ(DialogData::checked(page(0), IDC_COPY_IMAGE), 0);
    });
    // And the other way round; clearing it then brings nothing back.
    clickOn(script, IDC_COPY_IMAGE);
    script.waitFor([this] { return app.clipboardOutputOn == 1; }, "the clipboard output on");
    script.then([this] {
        EXPECT_FALSE(app.ftp.copyUrl());
        EXPECT_EQ(DialogData::checked(page(0), IDC_COPY_URL), 0);
    });
    clickOn(script, IDC_COPY_IMAGE);
    script.waitFor([this] { return app.clipboardOutputOn == 0; }, "the clipboard output off");
    script.then([this] {
        EXPECT_FALSE(app.ftp.copyUrl());
        EXPECT_EQ(DialogData::checked(page(0), IDC_COPY_URL), 0);
    });
    clickOn(script, IDC_SAVE_TO_FOLDER);
    script.waitFor([this] { return app.diskOutputOn == 1; }, "the disk output on");
    script.then([] {
        EXPECT_TRUE(::IsWindowEnabled(generalControl(IDC_FOLDER)));
        EXPECT_TRUE(::IsWindowEnabled(generalControl(IDC_BROWSE_FOLDER)));
    });
    clickOn(script, IDC_OPEN_BROWSER);
    script.waitFor([this] { return app.ftp.openBrowser(); }, "opening in the browser on");
    clickOn(script, IDC_RUN_AT_STARTUP);
    script.waitFor([this] { return app.runAtStartup == 1; }, "starting with the system on");
    clickOn(script, IDC_SAVE_TO_FOLDER);
    script.waitFor([this] { return app.diskOutputOn == 0; }, "the disk output off");
    script.then([] {
        EXPECT_FALSE(::IsWindowEnabled(generalControl(IDC_FOLDER)));
        EXPECT_FALSE(::IsWindowEnabled(generalControl(IDC_BROWSE_FOLDER)));
    });
    script.then([&script] {
        HWND tabs = ::GetDlgItem(preferencesWindow(), IDC_PAGE_TABS);
        RECT tab{};
        TabCtrl_GetItemRect(tabs, 1, &tab);
        ::MapWindowPoints(tabs, nullptr, reinterpret_cast<POINT*>(&tab), 2);
        script.click(POINT{(tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2});
    });
    script.waitFor([] { return ::IsWindowVisible(page(1)) && !::IsWindowVisible(page(0)); },
                   "the FTP page");
    script.then([] {
        RECT general{};
        RECT ftp{};
        ::GetWindowRect(page(0), &general);
        ::GetWindowRect(page(1), &ftp);
        EXPECT_TRUE(::EqualRect(&general, &ftp));
        pumpMessagesFor(200);
        EXPECT_TRUE(saveWindowScreenshot(preferencesWindow(), L"preferences-ftp.png"));
    });
    runPreferences(script);

    // Every change is in the file, the repaired format too, and nothing else changed.
    cBinSettingBag expected;
    expected.setInt(L"DiskOutput", 0);
    expected.setInt(L"ClipboardOutput", 0);
    expected.setInt(L"RunAtStartup", 1);
    expected.setInt(L"OutputFormat", 0);
    expected.setString(L"Folder", L"C:\\captures");
    expected.setString(L"ftpServer", L"ftp.example");
    expected.setString(L"ftpUsername", L"me");
    expected.setString(L"ftpPswd", L"pw");
    expected.setString(L"ftpPath", L"/shots");
    expected.setBool(L"copyUrl", false);
    expected.setBool(L"openBrowser", true);
    expected.setBool(L"isEnabled", true);
    expected.setBool(L"ftpCustom", false);
    expected.setString(L"urlImage", L"http://shots.example");
    expected.setString(L"Full", L"17,16,70");
    expected.setString(L"Active", L"17,16,65");
    expected.setString(L"Select", L"17,16,83");
    const std::wstring expectedFile = TestEnvironment::freshTempDir(L"prefs-expected") + L"\\s.dat";
    expected.writeFile(expectedFile);
    EXPECT_EQ(TestEnvironment::readFileBytes(settingsFile()),
              TestEnvironment::readFileBytes(expectedFile));
    EXPECT_TRUE(TestEnvironment::fileExists(startupFolder() + L"Morvex.lnk"));
}

TEST_F(PreferencesDialogTest, ATypedFolderAndTheChosenFormatServeACaptureTakenWhileOpen) {
    const std::wstring before = TestEnvironment::freshTempDir(L"prefs-before");
    const std::wstring typed = TestEnvironment::freshTempDir(L"prefs-typed");
    app.diskOutputOn = 1;
    app.disk.setFolder(before);
    app.outputFormat = 0;

    InputScript script(30000);
    waitForDialog(script);
    clickOn(script, IDC_FOLDER);
    script.then([&script] { script.press({VK_HOME}); })
        .then([&script] {
            script.press({VK_LSHIFT, VK_END});
        })
        .then([&script, &typed] { script.type(typed); })
        .waitFor([&typed] { return DialogData::text(page(0), IDC_FOLDER) == typed; },
                 "the typed folder")
        .then([this, &before] { EXPECT_EQ(app.disk.folder(), before) << "only when it is left"; })
        .then([&script] { script.press({VK_TAB}); })
        .waitFor([this, &typed] { return app.disk.folder() == typed; }, "the folder passed on");
    // "JPG" from the list, with the keyboard.
    clickOn(script, IDC_FORMAT);
    script.then([&script] { script.press({VK_DOWN}); })
        .then([&script] { script.press({VK_RETURN}); })
        .waitFor([this] { return app.outputFormat == 1; }, "JPEG chosen");
    // The hot key works inside the dialog's loop.
    script.then([&script] {
              script.press({VK_LCONTROL, VK_LSHIFT, 'F'});
          })
        .waitFor([&typed] { return !filesIn(typed).empty(); }, "the capture's file");
    runPreferences(script);

    const std::vector<std::wstring> files = filesIn(typed);
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(endsWith(files[0], L".jpg")) << files[0].c_str();
    EXPECT_TRUE(filesIn(before).empty());
    EXPECT_EQ(TestEnvironment::readFileBytes(typed + L"\\" + files[0]).substr(0, 2), "\xFF\xD8");
}

TEST_F(PreferencesDialogTest, PickerAndHotKeyDialogOpenAboveItAndCancellingChangesNothing) {
    const std::wstring folder = TestEnvironment::freshTempDir(L"prefs-picker");
    app.diskOutputOn = 1;
    app.disk.setFolder(folder);
    const cHotKeySettings keysBefore = app.hotKeys;

    InputScript script(30000);
    waitForDialog(script);
    clickOn(script, IDC_BROWSE_FOLDER);
    script.waitFor([] { return dialogAbovePreferences() != nullptr; }, "the folder picker")
        .then([] { EXPECT_FALSE(::IsWindowEnabled(preferencesWindow())); })
        // The system runs the picker's loop; a capture still comes through it.
        .then([&script] {
            script.press({VK_LCONTROL, VK_LSHIFT, 'F'});
        })
        .waitFor([&folder] { return filesIn(folder).size() == 1; }, "a capture under the picker")
        .then([&script] { script.press({VK_ESCAPE}); })
        .waitFor([] { return dialogAbovePreferences() == nullptr; }, "the picker closed")
        .then([this, &folder] {
            EXPECT_EQ(DialogData::text(page(0), IDC_FOLDER), folder);
            EXPECT_EQ(app.disk.folder(), folder);
            EXPECT_EQ(app.diskOutputOn, 1);
        });
    clickOn(script, IDC_HOTKEYS);
    script.waitFor([] { return dialogAbovePreferences() != nullptr; }, "the hot key dialog")
        .then([] {
            wchar_t caption[64] = {};
            ::GetWindowTextW(dialogAbovePreferences(), caption, 64);
            EXPECT_STREQ(caption, L"快捷键设置...");
            EXPECT_FALSE(::IsWindowEnabled(preferencesWindow()));
        })
        .then([&script] { script.press({VK_ESCAPE}); })
        .waitFor([] { return dialogAbovePreferences() == nullptr; }, "the hot key dialog closed")
        .then([this, &keysBefore] {
            EXPECT_TRUE(::IsWindowEnabled(preferencesWindow()));
            EXPECT_EQ(app.hotKeys.full, keysBefore.full);
            EXPECT_EQ(app.hotKeys.active, keysBefore.active);
            EXPECT_EQ(app.hotKeys.select, keysBefore.select);
            // A second request while the dialog is open does nothing.
            EXPECT_TRUE(app.isPreferencesOpen());
            app.showPreferences();
            EXPECT_NE(preferencesWindow(), nullptr);
        });
    runPreferences(script);
}

} // namespace
