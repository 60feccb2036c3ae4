#include "app/StartupShortcut.h"
#include "platform/ComPtr.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <shlobj.h>

namespace {

class StartupShortcutTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        folder = TestEnvironment::freshTempDir(L"startup") + L"\\";
    }
    void TearDown() override { ::CoUninitialize(); }
    std::wstring folder;
};

TEST_F(StartupShortcutTest, CreatesALinkToTheRunningProgramAndRemovesIt) {
    ASSERT_TRUE(StartupShortcut::create(folder));
    const std::wstring link = folder + L"Morvex.lnk";
    ASSERT_TRUE(TestEnvironment::fileExists(link));

    ComPtr<IShellLinkW> shellLink;
    ASSERT_TRUE(SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                             IID_IShellLinkW, shellLink.putVoid())));
    ComPtr<IPersistFile> file = shellLink.query<IPersistFile>();
    ASSERT_TRUE(SUCCEEDED(file->Load(link.c_str(), STGM_READ)));
    wchar_t target[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)));
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    EXPECT_EQ(_wcsicmp(target, module), 0);
    wchar_t icon[MAX_PATH] = {};
    int iconIndex = -1;
    shellLink->GetIconLocation(icon, MAX_PATH, &iconIndex);
    EXPECT_EQ(iconIndex, 0);

    // Creating again overwrites.
    EXPECT_TRUE(StartupShortcut::create(folder));
    StartupShortcut::remove(folder);
    EXPECT_FALSE(TestEnvironment::fileExists(link));
    StartupShortcut::remove(folder); // nothing to remove: no harm
}

TEST_F(StartupShortcutTest, MissingFolderFailsQuietly) {
    EXPECT_FALSE(StartupShortcut::create(folder + L"missing\\"));
}

} // namespace
