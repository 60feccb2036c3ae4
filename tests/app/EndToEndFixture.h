#pragma once

#include "settings/RegistryProfile.h"
#include "settings/cBinSettingBag.h"
#include "support/FakeShellTray.h"
#include "support/ProgramProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>

// What the tests of the real Pixlance.exe share: its files and registry values, starting and
// ending it, pressing its keys, and the balloons it showed, observed through a stand-in for the
// shell's notification area, so no test depends on timing luck.
namespace EndToEnd {

extern const std::wstring kBuiltinUser;

bool waitFor(const std::function<bool()>& condition, DWORD timeoutMs);
std::wstring programPath();
std::wstring settingsFile();
std::wstring shortcutFile();
RegistryProfile profile();
// No settings, shortcut, registry values, queued captures or history.
void resetProgramState();
void pointBuiltinTargetAt(const std::wstring& server, const std::wstring& url);
// Start-up is over once its last step is done and the program's GUI thread takes messages.
bool waitUntilStarted(ProgramProcess& process, bool mayLackShortcut);
// Presses the keys in order, then lets go of them in reverse order.
void pressKeys(std::initializer_list<WORD> codes);
// "dd_mm_yy_HH_MM_SS" followed by the extension.
bool isTimeStampName(const std::wstring& name, const std::wstring& extension);
// The file of the server folder that a local image file became: its name with "_" and 16 random
// letters and digits before the extension; empty when there is none, or more than one.
std::wstring remoteFileOf(const std::wstring& serverFolder, const std::wstring& localName);

class Fixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program and waits until its icon is added and start-up is over.
    std::unique_ptr<ProgramProcess> start(const std::wstring& arguments = L"");
    // The balloons shown so far, as readable text, for failure messages.
    std::string balloonLog() const;
    // Chooses Exit from the icon's menu commands and waits for the process to end.
    bool exitProgram(ProgramProcess& process, DWORD timeoutMs = 20000);
    std::size_t requestsOf(DWORD message) const;
    bool balloonShown(const std::wstring& title, const std::wstring& text = L"") const;
    // How many balloons with the title have been shown.
    std::size_t balloonsTitled(const std::wstring& title) const;
    // A settings file as the program writes it: the hot keys are always in it (a file without
    // them turns them off).
    void writeSettings(const std::function<void(cBinSettingBag&)>& fill);
    cBinSettingBag readSettings();

    FakeShellTray shell;
};

} // namespace EndToEnd
