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
#include "support/PreferencesDriver.h"
#include "support/PaintedWindow.h"
#include "support/RecordingUpdate.h"
#include "support/Screenshot.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <vector>

namespace {

using TestEnvironment::filesIn;

using namespace PreferencesDriver;

bool endsWith(const std::wstring& text, const std::wstring& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::wstring settingsFile() {
    return settingsFolder() + L"Settings.dat";
}

using PreferencesDialogTest = PreferencesTest;

HWND generalControl(int id) {
    return pageControl(0, id);
}

// Opening shows the live values (and repairs the format the page does not offer), each click goes
// straight into the application, both pages fill the tabs' area, and the close box saves it all.
TEST_F(PreferencesDialogTest, ShowsTheLiveValuesChangesThemAtEachClickAndSavesThemOnClose) {
    app.ftp().setCopyUrl(false);
    app.ftp().setOpenBrowser(false);
    app.setClipboardOutputOn(1);
    app.setDiskOutputOn(0);
    app.disk().setFolder(L"C:\\captures");
    app.setOutputFormat(2); // BMP
    app.ftp().setTarget(L"ftp.example", L"me", L"pw", L"/shots", true);
    app.ftp().setCustomUrl(L"http://shots.example");

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
        EXPECT_EQ(app.outputFormat(), 0) << "the live value is repaired, not only the page";

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
    clickOn(script, 0, IDC_COPY_URL);
    script.waitFor([this] { return app.ftp().copyUrl(); }, "copying the address on");
    script.then([this] {
        EXPECT_EQ(app.clipboardOutputOn(), 0);
        EXPECT_EQ(DialogData::checked(page(0), IDC_COPY_IMAGE), 0);
    });
    // And the other way round; clearing it then brings nothing back.
    clickOn(script, 0, IDC_COPY_IMAGE);
    script.waitFor([this] { return app.clipboardOutputOn() == 1; }, "the clipboard output on");
    script.then([this] {
        EXPECT_FALSE(app.ftp().copyUrl());
        EXPECT_EQ(DialogData::checked(page(0), IDC_COPY_URL), 0);
    });
    clickOn(script, 0, IDC_COPY_IMAGE);
    script.waitFor([this] { return app.clipboardOutputOn() == 0; }, "the clipboard output off");
    script.then([this] {
        EXPECT_FALSE(app.ftp().copyUrl());
        EXPECT_EQ(DialogData::checked(page(0), IDC_COPY_URL), 0);
    });
    clickOn(script, 0, IDC_SAVE_TO_FOLDER);
    script.waitFor([this] { return app.diskOutputOn() == 1; }, "the disk output on");
    script.then([] {
        EXPECT_TRUE(::IsWindowEnabled(generalControl(IDC_FOLDER)));
        EXPECT_TRUE(::IsWindowEnabled(generalControl(IDC_BROWSE_FOLDER)));
    });
    clickOn(script, 0, IDC_OPEN_BROWSER);
    script.waitFor([this] { return app.ftp().openBrowser(); }, "opening in the browser on");
    clickOn(script, 0, IDC_RUN_AT_STARTUP);
    script.waitFor([this] { return app.runAtStartup() == 1; }, "starting with the system on");
    clickOn(script, 0, IDC_SAVE_TO_FOLDER);
    script.waitFor([this] { return app.diskOutputOn() == 0; }, "the disk output off");
    script.then([] {
        EXPECT_FALSE(::IsWindowEnabled(generalControl(IDC_FOLDER)));
        EXPECT_FALSE(::IsWindowEnabled(generalControl(IDC_BROWSE_FOLDER)));
    });
    showPage(script, 1);
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
    expected.setInt(L"Magnifier", 1);
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
    expected.setBool(L"randomName", true);
    expected.setString(L"Full", L"17,16,70");
    expected.setString(L"Active", L"17,16,65");
    expected.setString(L"Select", L"17,16,83");
    expected.setString(L"Edit", L"17,16,69");
    const std::wstring expectedFile = TestEnvironment::freshTempDir(L"prefs-expected") + L"\\s.dat";
    expected.writeFile(expectedFile);
    EXPECT_EQ(TestEnvironment::readFileBytes(settingsFile()),
              TestEnvironment::readFileBytes(expectedFile));
    EXPECT_TRUE(TestEnvironment::fileExists(startupFolder() + L"Morvex.lnk"));
}

TEST_F(PreferencesDialogTest, ATypedFolderAndTheChosenFormatServeACaptureTakenWhileOpen) {
    const std::wstring before = TestEnvironment::freshTempDir(L"prefs-before");
    const std::wstring typed = TestEnvironment::freshTempDir(L"prefs-typed");
    app.setDiskOutputOn(1);
    app.disk().setFolder(before);
    app.setOutputFormat(0);

    InputScript script(30000);
    waitForDialog(script);
    clickOn(script, 0, IDC_FOLDER);
    script.then([&script] { script.press({VK_HOME}); })
        .then([&script] {
            script.press({VK_LSHIFT, VK_END});
        })
        .then([&script, &typed] { script.type(typed); })
        .waitFor([&typed] { return DialogData::text(page(0), IDC_FOLDER) == typed; },
                 "the typed folder")
        .then([this, &before] { EXPECT_EQ(app.disk().folder(), before) << "only when it is left"; })
        .then([&script] { script.press({VK_TAB}); })
        .waitFor([this, &typed] { return app.disk().folder() == typed; }, "the folder passed on");
    // "JPG" from the list, with the keyboard.
    clickOn(script, 0, IDC_FORMAT);
    script.then([&script] { script.press({VK_DOWN}); })
        .then([&script] { script.press({VK_RETURN}); })
        .waitFor([this] { return app.outputFormat() == 1; }, "JPEG chosen");
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
    app.setDiskOutputOn(1);
    app.disk().setFolder(folder);
    const cHotKeySettings keysBefore = app.hotKeys();

    InputScript script(30000);
    waitForDialog(script);
    clickOn(script, 0, IDC_BROWSE_FOLDER);
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
            EXPECT_EQ(app.disk().folder(), folder);
            EXPECT_EQ(app.diskOutputOn(), 1);
        });
    clickOn(script, 0, IDC_HOTKEYS);
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
            EXPECT_EQ(app.hotKeys().full, keysBefore.full);
            EXPECT_EQ(app.hotKeys().active, keysBefore.active);
            EXPECT_EQ(app.hotKeys().select, keysBefore.select);
            // A second request while the dialog is open does nothing.
            EXPECT_TRUE(app.isPreferencesOpen());
            app.showPreferences();
            EXPECT_NE(preferencesWindow(), nullptr);
        });
    runPreferences(script);
}

} // namespace
