// The FTP page of the preferences, driven as a user does (real clicks and keys into the dialog that
// showPreferences runs), against real FTP servers on loopback addresses of their own.
#include "app/AppFolders.h"
#include "platform/DialogData.h"
#include "platform/InternetException.h"
#include "res/PreferencesIds.h"
#include "support/PaintedWindow.h"
#include "support/PreferencesDriver.h"
#include "support/Screenshot.h"
#include "settings/cBinSettingBag.h"
#include "support/TestEnvironment.h"
#include "ui/cPanelFTP.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <memory>
#include <string>

namespace {

using namespace PreferencesDriver;

// Every window that only the custom target shows.
constexpr int kCustomWindows[] = {
    IDC_FTP_SERVER,     IDC_FTP_USER,         IDC_FTP_PASSWORD,   IDC_FTP_PATH,
    IDC_FTP_URL,        IDC_FTP_SERVER_LABEL, IDC_FTP_USER_LABEL, IDC_FTP_PASSWORD_LABEL,
    IDC_FTP_PATH_LABEL, IDC_FTP_URL_LABEL,    IDC_FTP_SAVE,       IDC_FTP_TEST,
    IDC_FTP_BROWSE,     IDC_FTP_RANDOM_NAME};

HWND ftpControl(int id) {
    return pageControl(1, id);
}

int visibleCustomWindows() {
    int visible = 0;
    for (int id : kCustomWindows)
        visible += ::IsWindowVisible(ftpControl(id)) ? 1 : 0;
    return visible;
}

std::wstring customTarget(cFTPOutput& ftp, int field) {
    std::wstring values[4];
    ftp.getTarget(values[0], values[1], values[2], values[3], true);
    return values[field];
}

class FtpPageTest : public PreferencesTest {
protected:
    // Clicks into the edit and types its new text over the old.
    void replaceText(InputScript& script, int id, const std::wstring& text) {
        clickOn(script, 1, id);
        script.then([&script] { script.press({VK_HOME}); })
            .then([&script] {
                script.press({VK_LSHIFT, VK_END});
            })
            .then([&script, text] {
                if (text.empty())
                    script.press({VK_DELETE});
                else
                    script.type(text);
            })
            .waitFor([id, text] { return DialogData::text(page(1), id) == text; }, "the text");
    }

    // The Test button reads "取消" while the page waits for a connection that the silent server
    // has taken.
    void waitForSilentServer(InputScript& script) {
        auto acceptedBefore = std::make_shared<std::size_t>(0);
        script.then([acceptedBefore] {
            *acceptedBefore = TestEnvironment::ftpLogCount(L"page_hang", "accepted");
        });
        clickOn(script, 1, IDC_FTP_TEST);
        script.waitFor(
            [acceptedBefore] {
                return DialogData::text(page(1), IDC_FTP_TEST) == L"取消" &&
                       TestEnvironment::ftpLogCount(L"page_hang", "accepted") > *acceptedBefore;
            },
            "the wait for the silent server");
    }

    // Clicks the button, waits for the message box it shows, keeps its text and closes it.
    void clickForMessage(InputScript& script, int id, std::wstring& text, DWORD* tookMs = nullptr) {
        auto started = std::make_shared<DWORD>(0);
        script.then([started] { *started = ::GetTickCount(); });
        clickOn(script, 1, id);
        script.waitFor([] { return dialogAbovePreferences() != nullptr; }, "a message box")
            .then([&script, &text, started, tookMs] {
                if (tookMs)
                    *tookMs = ::GetTickCount() - *started;
                text = messageText(dialogAbovePreferences());
                script.press({VK_RETURN});
            })
            .waitFor([] { return dialogAbovePreferences() == nullptr; }, "the box closed");
    }

    void useCustomTarget(const std::wstring& server, const std::wstring& password) {
        app.ftp().setEnabled(true);
        app.ftp().setFtpCustom(true);
        app.ftp().setTarget(server, L"tester", password, L"/", true);
        app.ftp().setCustomUrl(L"http://images.example");
    }
};

TEST_F(FtpPageTest, TargetButtonsSwitchUploadsAtOnceAndOnlyTheCustomOneShowsTheServer) {
    const std::wstring folder = TestEnvironment::freshTempDir(L"ftp-page-captures");
    const std::wstring serverRoot = TestEnvironment::ftpRoot(L"page");
    app.setOutputs(&app.disk(), nullptr, &app.ftp());
    app.setDiskOutputOn(1);
    app.disk().setFolder(folder);
    app.ftp().setCopyUrl(false);
    app.ftp().setOpenBrowser(false);
    app.ftp().setTarget(TestEnvironment::ftpAddress(L"page"), L"tester", L"secret", L"/", false);
    app.ftp().setEnabled(false);

    InputScript script(30000);
    waitForDialog(script, 1);
    script.then([] {
        EXPECT_EQ(DialogData::radioIndex(page(1),
                                         {IDC_TARGET_BUILTIN, IDC_TARGET_CUSTOM, IDC_TARGET_NONE}),
                  TargetNone);
        EXPECT_EQ(visibleCustomWindows(), 0);
        EXPECT_TRUE(::IsWindowVisible(ftpControl(IDC_TARGET_CUSTOM)));
    });
    clickOn(script, 1, IDC_TARGET_BUILTIN);
    script
        .waitFor([this] { return app.ftp().isEnabled() && !app.ftp().ftpCustom(); }, "built-in on")
        .then([] { EXPECT_EQ(visibleCustomWindows(), 0); });
    // "None" stops the very next capture's upload, with the dialog still open.
    clickOn(script, 1, IDC_TARGET_NONE);
    script.waitFor([this] { return !app.ftp().isEnabled(); }, "uploads off")
        .then([&script] {
            script.press({VK_LCONTROL, VK_LSHIFT, 'F'});
        })
        .waitFor(
            [&] {
                return TestEnvironment::filesIn(folder).size() == 1 && !app.captureInProgress();
            },
            "the capture on disk")
        .then([&] {
            EXPECT_EQ(app.ftp().pendingUploadCount(), 0u);
            EXPECT_TRUE(TestEnvironment::filesIn(serverRoot).empty());
            for (const RecordedMessage& message : update.messages())
                EXPECT_EQ(message.title, L"Image written to disk");
        });
    clickOn(script, 1, IDC_TARGET_CUSTOM);
    script.waitFor([this] { return app.ftp().isEnabled() && app.ftp().ftpCustom(); }, "custom on")
        .then([] {
            EXPECT_EQ(visibleCustomWindows(), static_cast<int>(std::size(kCustomWindows)));
            EXPECT_FALSE(::IsWindowEnabled(ftpControl(IDC_FTP_SAVE)));
            EXPECT_TRUE(::IsWindowEnabled(ftpControl(IDC_FTP_TEST)));
        });
    replaceText(script, IDC_FTP_SERVER, L"ftp.example");
    script.then([] {
        EXPECT_TRUE(::IsWindowEnabled(ftpControl(IDC_FTP_SAVE)));
        pumpMessagesFor(200);
        EXPECT_TRUE(saveWindowScreenshot(preferencesWindow(), L"preferences-ftp-custom.png"));
    });
    runPreferences(script);
    EXPECT_EQ(customTarget(app.ftp(), 0), L"") << "typed, not saved";
}

TEST_F(FtpPageTest, SaveNamesTheFirstEmptyFieldAndStoresOnlyWhenAllAreFilled) {
    app.ftp().setFtpCustom(true);
    std::wstring firstMessage;
    std::wstring secondMessage;

    InputScript script(30000);
    waitForDialog(script, 1);
    // Typing and taking it back again: every field is empty, and Save is enabled.
    replaceText(script, IDC_FTP_SERVER, L"x");
    replaceText(script, IDC_FTP_SERVER, L"");
    clickForMessage(script, IDC_FTP_SAVE, firstMessage);
    script.then([] { EXPECT_EQ(::GetFocus(), ftpControl(IDC_FTP_SERVER)); });
    replaceText(script, IDC_FTP_SERVER, L"ftp.example");
    replaceText(script, IDC_FTP_USER, L"me");
    replaceText(script, IDC_FTP_PASSWORD, L"pw");
    clickForMessage(script, IDC_FTP_SAVE, secondMessage);
    script.then([this] {
        EXPECT_EQ(::GetFocus(), ftpControl(IDC_FTP_URL));
        EXPECT_EQ(customTarget(app.ftp(), 0), L"") << "nothing stored";
    });
    replaceText(script, IDC_FTP_URL, L"http://images.example");
    clickOn(script, 1, IDC_FTP_SAVE);
    script.waitFor([] { return !::IsWindowEnabled(ftpControl(IDC_FTP_SAVE)); }, "Save disabled")
        .then([] { EXPECT_EQ(dialogAbovePreferences(), nullptr); });
    runPreferences(script);

    EXPECT_EQ(firstMessage, L"Enter a valid server address");
    EXPECT_EQ(secondMessage, L"Enter a valid url");
    EXPECT_EQ(customTarget(app.ftp(), 0), L"ftp.example");
    EXPECT_EQ(customTarget(app.ftp(), 1), L"me");
    EXPECT_EQ(customTarget(app.ftp(), 2), L"pw");
    EXPECT_EQ(customTarget(app.ftp(), 3), L""); // the folder may be empty
    EXPECT_EQ(app.ftp().customUrl(), L"http://images.example");
}

TEST_F(FtpPageTest, TestStoresFirstThenConnectsAndExplainsEachFailure) {
    const std::wstring address = TestEnvironment::ftpAddress(L"page");
    const std::wstring refusing = TestEnvironment::ftpAddress(L"page_refuse");
    const std::wstring silent = TestEnvironment::ftpAddress(L"page_hang");
    const std::wstring withPort = TestEnvironment::ftpAddress(L"page_port") + L":2121";
    useCustomTarget(address, L"wrong");
    std::wstring wrongPassword, withScheme, withUpperScheme, onPort, refused, timedOut;
    std::wstring storedPassword;
    DWORD silentMs = 0;

    InputScript script(90000);
    waitForDialog(script, 1);
    clickForMessage(script, IDC_FTP_TEST, wrongPassword);
    script.then([&] { storedPassword = customTarget(app.ftp(), 2); });
    replaceText(script, IDC_FTP_PASSWORD, L"secret");
    replaceText(script, IDC_FTP_SERVER, L"ftp://" + address);
    clickForMessage(script, IDC_FTP_TEST, withScheme);
    replaceText(script, IDC_FTP_SERVER, L"FTP://" + address);
    clickForMessage(script, IDC_FTP_TEST, withUpperScheme);
    replaceText(script, IDC_FTP_SERVER, withPort);
    clickForMessage(script, IDC_FTP_TEST, onPort);
    replaceText(script, IDC_FTP_SERVER, refusing);
    clickForMessage(script, IDC_FTP_TEST, refused);
    // A server that takes the connection and never answers.
    replaceText(script, IDC_FTP_SERVER, silent);
    clickForMessage(script, IDC_FTP_TEST, timedOut, &silentMs);
    runPreferences(script);

    EXPECT_EQ(wrongPassword, L"Incorrect user name or password\n");
    EXPECT_EQ(storedPassword, L"wrong") << "Test stores the fields before it connects";
    EXPECT_EQ(withScheme, L"Connected successfully");
    EXPECT_EQ(withUpperScheme, L"Connected successfully");
    EXPECT_EQ(onPort, L"Connected successfully");
    // Windows reports the proxy's whole reply; Wine keeps its first line only.
    const std::wstring explained = L"Check your internet and firewall settings.\nMake sure you "
                                   L"have access to " +
                                   refusing + L".\nDetails: ";
    EXPECT_EQ(refused.substr(0, explained.size()), explained) << refused.c_str();
    const std::wstring details = refused.substr(std::min(refused.size(), explained.size()));
    EXPECT_TRUE(details.rfind(L"530 Login refused", 0) == 0 ||
                details.rfind(L"220 Proxy ready.", 0) == 0)
        << details.c_str();
    EXPECT_EQ(timedOut,
              cPanelFTP::connectErrorText(InternetException(ERROR_INTERNET_TIMEOUT), true, silent));
    // Left alone, Wine's WinInet waits 30 s for each reply line; the page gives up sooner.
    std::printf("silent server: failure shown after %lu ms\n", silentMs);
    EXPECT_LT(silentMs, 30000u);
    EXPECT_GE(silentMs, cFTPOutput::kDialogConnectTimeoutMs);
}

// A click on "取消", or Escape, ends a wait for a server that never answers at once; the page
// is as before, the worker given up says nothing, and closing the dialog during a wait closes it.
TEST_F(FtpPageTest, CancelAndEscapeEndAWaitForASilentServerAtOnce) {
    const std::wstring silent = TestEnvironment::ftpAddress(L"page_hang");
    useCustomTarget(silent, L"secret");
    DWORD endedAfter[2] = {};
    std::wstring afterwards;

    InputScript script(30000);
    waitForDialog(script, 1);
    for (int escape = 0; escape < 2; ++escape) {
        auto started = std::make_shared<DWORD>(0);
        waitForSilentServer(script);
        script
            .then([&script, started, escape] {
                EXPECT_FALSE(::IsWindowEnabled(ftpControl(IDC_FTP_BROWSE)));
                *started = ::GetTickCount();
                if (escape)
                    script.press({VK_ESCAPE});
                else
                    script.click(centreOf(ftpControl(IDC_FTP_TEST)));
            })
            .waitFor([] { return DialogData::text(page(1), IDC_FTP_TEST) == L"测试"; },
                     "the wait ended")
            .then([&endedAfter, started, escape] {
                endedAfter[escape] = ::GetTickCount() - *started;
                EXPECT_NE(preferencesWindow(), nullptr);
                EXPECT_TRUE(::IsWindowEnabled(ftpControl(IDC_FTP_BROWSE)));
                // Its session closed, the worker's login fails at once: no word of it comes.
                pumpMessagesFor(500);
                EXPECT_EQ(dialogAbovePreferences(), nullptr);
            });
    }
    replaceText(script, IDC_FTP_SERVER, TestEnvironment::ftpAddress(L"page"));
    clickForMessage(script, IDC_FTP_TEST, afterwards);
    replaceText(script, IDC_FTP_SERVER, silent);
    waitForSilentServer(script);
    runPreferences(script);
    pumpMessagesFor(500);

    std::printf("the wait ended %lu ms after the click, %lu ms after Escape\n", endedAfter[0],
                endedAfter[1]);
    EXPECT_LT(endedAfter[0], 1000u);
    EXPECT_LT(endedAfter[1], 1000u);
    EXPECT_EQ(afterwards, L"Connected successfully");
}

// The random suffix box changes the setting on each click, with the dialog open, and the
// settings file keeps the last choice.
TEST_F(FtpPageTest, TheRandomSuffixBoxTakesEffectOnTheClickAndIsSaved) {
    useCustomTarget(TestEnvironment::ftpAddress(L"page"), L"secret");
    app.ftp().setRandomName(true);

    InputScript script(30000);
    waitForDialog(script, 1);
    script.then([] {
        EXPECT_EQ(DialogData::checked(page(1), IDC_FTP_RANDOM_NAME), 1);
        EXPECT_TRUE(::IsWindowEnabled(ftpControl(IDC_FTP_RANDOM_NAME)));
    });
    for (bool expected : {false, true, false}) {
        clickOn(script, 1, IDC_FTP_RANDOM_NAME);
        script.waitFor([this, expected] { return app.ftp().randomName() == expected; },
                       "the suffix switched");
    }
    runPreferences(script);

    cBinSettingBag saved;
    saved.readFile(settingsFolder() + L"Settings.dat");
    bool randomName = true;
    EXPECT_TRUE(saved.getBool(L"randomName", randomName));
    EXPECT_FALSE(randomName);
}

} // namespace
