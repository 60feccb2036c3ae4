// The application's settings load, in process: whatever goes wrong while reading "Settings.dat",
// even running out of memory, the program goes on with its defaults and says so once.
#include "app/AppFolders.h"
#include "app/CPixlanceApp.h"
#include "settings/SettingFile.h"
#include "settings/cBinSettingBag.h"
#include "support/AllocationLimit.h"
#include "support/FakeShellTray.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <new>

namespace {

TEST(SettingsLoadTest, OutOfMemoryWhileReadingIsToldOnceAndTheDefaultsStay) {
    const std::wstring file = settingsFolder() + L"Settings.dat";
    cBinSettingBag bag;
    bag.setInt(L"OutputFormat", 2);
    // Bytes after the last entry are ignored, but the reader still takes them in.
    std::string bytes = SettingFile::encode(bag.entries());
    bytes.append(8 * 1024 * 1024, '\0');
    TestEnvironment::writeFileBytes(file, bytes);

    FakeShellTray shell;
    CPixlanceApp app;
    AllocationLimit::set(4 * 1024 * 1024);
    EXPECT_NO_THROW(app.loadSettings());
    AllocationLimit::set(AllocationLimit::kNone);
    ::DeleteFileW(file.c_str());
    EXPECT_EQ(app.outputFormat(), 0);
    ASSERT_TRUE(shell.waitForRequests(1));
    const auto told = shell.requests();
    ASSERT_EQ(told.size(), 1u);
    EXPECT_TRUE(told[0].contains(L"Settings could not be loaded"));
    EXPECT_TRUE(told[0].contains(L"The settings file could not be read: " + file));
}

} // namespace
