// The application's settings load, in process: whatever goes wrong while reading "Settings.dat",
// even running out of memory, the program goes on with its defaults and says so once.
#include "app/AppFolders.h"
#include "app/CPixlanceApp.h"
#include "settings/SettingFile.h"
#include "settings/cBinSettingBag.h"
#include "support/FakeShellTray.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Allocations larger than this fail while a test wants memory to run out.
std::atomic<std::size_t> largestAllocation{SIZE_MAX};

} // namespace

void* operator new(std::size_t size) {
    void* block = size <= largestAllocation.load() ? std::malloc(size ? size : 1) : nullptr;
    if (!block)
        throw std::bad_alloc();
    return block;
}

void operator delete(void* block) noexcept {
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept {
    std::free(block);
}

namespace {

std::wstring settingsFile() {
    return settingsFolder() + L"Settings.dat";
}

class SettingsLoadTest : public ::testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(settingsFile().c_str()); }
    void TearDown() override { ::DeleteFileW(settingsFile().c_str()); }

    std::size_t loadFailuresTold() const {
        std::size_t told = 0;
        for (const auto& request : shell.requests())
            told += request.message == NIM_MODIFY &&
                    request.contains(L"Settings could not be loaded") &&
                    request.contains(L"The settings file could not be read: " + settingsFile());
        return told;
    }

    FakeShellTray shell;
};

TEST_F(SettingsLoadTest, OutOfMemoryWhileReadingIsToldOnceAndTheDefaultsStay) {
    cBinSettingBag bag;
    bag.setInt(L"OutputFormat", 2);
    bag.setInt(L"RunAtStartup", 0);
    // Bytes after the last entry are ignored, but the reader still takes them in.
    std::string bytes = SettingFile::encode(bag.entries());
    bytes.append(8 * 1024 * 1024, '\0');
    TestEnvironment::writeFileBytes(settingsFile(), bytes);

    CPixlanceApp app;
    largestAllocation = 4 * 1024 * 1024;
    EXPECT_NO_THROW(app.loadSettings());
    largestAllocation = SIZE_MAX;
    EXPECT_EQ(app.outputFormat, 0);
    EXPECT_EQ(app.runAtStartup, 1);
    ASSERT_TRUE(shell.waitForRequests(1));
    EXPECT_EQ(loadFailuresTold(), 1u);
}

} // namespace
