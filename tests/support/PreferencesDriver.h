#pragma once

#include "app/CPixlanceApp.h"
#include "support/InputScript.h"
#include "support/RecordingUpdate.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

// Finding the preferences dialog and its parts as a user sees them.
namespace PreferencesDriver {

// The shown preferences dialog, or none.
HWND preferencesWindow();
// 0: the General page; 1: the FTP page.
HWND page(int index);
HWND pageControl(int index, int id);
// A visible window of this thread owned by the preferences (a message box, a picker, a dialog).
HWND dialogAbovePreferences();
// The text of a message box.
std::wstring messageText(HWND box);
POINT centreOf(HWND window);
// The middle of the window's close box, found the way the system finds it.
POINT closeBoxOf(HWND window);

} // namespace PreferencesDriver

// An application object of the test's own, with its keyboard hook and capture dispatch on the
// test's thread, whose preferences the tests open and drive. Captures go to disk only unless a
// test chooses other outputs.
class PreferencesTest : public ::testing::Test {
protected:
    // As the program's start-up does: the shell's picker and links are COM objects.
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // The script's first steps wait for the dialog, bring it to the front and show the page.
    void waitForDialog(InputScript& script, int pageIndex = 0);
    // Clicks the page's tab and waits until the page is the one shown.
    void showPage(InputScript& script, int pageIndex);
    void clickOn(InputScript& script, int pageIndex, int id);
    // Runs the preferences as the icon's menu does while the script plays the user; the script
    // ends by closing the dialog with its close box. A script that times out closes every dialog
    // of the thread.
    void runPreferences(InputScript& script);

    RecordingUpdate update;
    CPixlanceApp app;
};
