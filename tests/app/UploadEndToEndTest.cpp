// The real Pixlance.exe and its upload queue: no capture is lost when the program is killed,
// exits or is logged off during a transfer, when the folder is gone, when no server is set, when
// another program holds the clipboard; a held combination captures once; finished uploads are in
// the history and the icon's menu.
#include "EndToEndFixture.h"

#include "app/AppFolders.h"
#include "capture/ScreenGrab.h"
#include "output/FrameWriting.h"
#include "output/upload/HistoryText.h"
#include "output/upload/UploadFolders.h"
#include "platform/DiskFile.h"
#include "res/resource.h"
#include "support/ClipboardText.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <cstdio>
#include <string>
#include <vector>

using namespace EndToEnd;
using TestEnvironment::filesIn;

namespace {

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

std::vector<std::wstring> queued() {
    return filesIn(UploadFolders::unsent());
}

// The program's committed memory (its private bytes).
std::size_t privateBytes(const ProgramProcess& process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process.handle(),
                                reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters))
        return 0;
    // Wine keeps the figure in the page-file count only; Windows has it in both.
    return std::max(counters.PrivateUsage, counters.PagefileUsage);
}

class UploadEndToEndTest : public Fixture {
protected:
    // The program with uploads to the fixture's server through the built-in target, the browser
    // left closed.
    std::unique_ptr<ProgramProcess> startUploadingTo(const wchar_t* fixture, bool copyUrl = false) {
        writeSettings([&](cBinSettingBag& bag) {
            bag.setBool(L"openBrowser", false);
            bag.setBool(L"copyUrl", copyUrl);
        });
        pointBuiltinTargetAt(TestEnvironment::ftpAddress(fixture), L"http://shots.example");
        auto program = start();
        shell.clear();
        return program;
    }

    // One capture of the whole screen, once its image is queued.
    void captureAndWaitUntilQueued() {
        const std::size_t before = balloonsTitled(L"Image saved");
        pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
        ASSERT_TRUE(waitFor([&] { return balloonsTitled(L"Image saved") > before; }, 30000))
            << balloonLog();
    }

    // A transfer to the stalling server has begun and will not end.
    void waitUntilStalled(std::size_t storesBefore) {
        ASSERT_TRUE(waitFor(
            [&] {
                return TestEnvironment::ftpLogCount(L"e2e_stall", "command STOR") > storesBefore;
            },
            30000));
    }
};

// Killed while its transfer hangs, the program sends the capture at its next start and the queue
// empties.
TEST_F(UploadEndToEndTest, KilledDuringATransferTheNextStartSendsTheCapture) {
    const std::size_t stores = TestEnvironment::ftpLogCount(L"e2e_stall", "command STOR");
    auto program = startUploadingTo(L"e2e_stall");
    captureAndWaitUntilQueued();
    waitUntilStalled(stores);
    program->kill();
    const std::vector<std::wstring> kept = queued();
    ASSERT_EQ(kept.size(), 1u);
    const std::string image = TestEnvironment::readFileBytes(UploadFolders::unsent() + kept[0]);
    ASSERT_EQ(image.substr(1, 3), "PNG");

    program = startUploadingTo(L"e2e_a");
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 30000))
        << balloonLog();
    EXPECT_TRUE(TestEnvironment::readFileBytes(TestEnvironment::ftpRoot(L"e2e_a") + L"\\" +
                                               kept[0]) == image);
    EXPECT_TRUE(balloonShown(L"Upload successfull", L"http://shots.example/" + kept[0]));
    EXPECT_TRUE(queued().empty());
    ASSERT_TRUE(exitProgram(*program));
}

// Exit and logoff during a transfer that does not move return within five seconds and leave the
// capture queued; the settings are saved either way.
TEST_F(UploadEndToEndTest, ExitAndLogoffDuringAStalledTransferKeepTheCaptureQueued) {
    for (bool logoff : {false, true}) {
        resetProgramState();
        const std::size_t stores = TestEnvironment::ftpLogCount(L"e2e_stall", "command STOR");
        auto program = startUploadingTo(L"e2e_stall");
        captureAndWaitUntilQueued();
        waitUntilStalled(stores);
        const ULONGLONG begin = ::GetTickCount64();
        if (logoff) {
            HWND hidden = program->findAnyWindow(L"Pixlance:");
            DWORD_PTR answer = 0;
            ASSERT_TRUE(::SendMessageTimeoutW(hidden, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF,
                                              SMTO_BLOCK, 5000, &answer));
            EXPECT_EQ(answer, static_cast<DWORD_PTR>(TRUE));
            ::SendMessageTimeoutW(hidden, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_BLOCK, 10000,
                                  &answer);
            EXPECT_LT(::GetTickCount64() - begin, 5000u) << "WM_ENDSESSION took too long";
            ASSERT_TRUE(program->waitForExit(10000));
        } else {
            ASSERT_TRUE(exitProgram(*program, 10000));
        }
        EXPECT_LT(::GetTickCount64() - begin, 5000u) << (logoff ? "logoff" : "exit");
        EXPECT_EQ(queued().size(), 1u);
        EXPECT_TRUE(TestEnvironment::fileExists(settingsFile()));
    }
}

// A folder that is gone costs the disk output its file, not the upload.
TEST_F(UploadEndToEndTest, AMissingFolderStillUploads) {
    const std::wstring gone = TestEnvironment::freshTempDir(L"e2e-gone") + L"\\gone";
    writeSettings([&](cBinSettingBag& bag) {
        bag.setInt(L"DiskOutput", 1);
        bag.setString(L"Folder", gone);
        bag.setBool(L"openBrowser", false);
        bag.setBool(L"copyUrl", false);
    });
    const std::wstring server = TestEnvironment::ftpRoot(L"e2e_a");
    const std::size_t before = filesIn(server, L"*.png").size();
    pointBuiltinTargetAt(TestEnvironment::ftpAddress(L"e2e_a"), L"");
    auto program = start();
    shell.clear();
    pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 30000))
        << balloonLog();
    EXPECT_TRUE(balloonShown(L"Failed to capture screenshot"));
    EXPECT_EQ(filesIn(server, L"*.png").size(), before + 1);
    EXPECT_TRUE(queued().empty());
    ASSERT_TRUE(exitProgram(*program));
}

// The user's own server chosen before one was saved: the capture is kept and the user is told.
TEST_F(UploadEndToEndTest, ACustomTargetWithoutAServerKeepsTheCaptureAndSaysSo) {
    writeSettings([](cBinSettingBag& bag) {
        bag.setBool(L"ftpCustom", true);
        bag.setString(L"ftpServer", L"");
    });
    auto program = start();
    shell.clear();
    pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload failed"); }, 30000)) << balloonLog();
    const std::vector<std::wstring> kept = queued();
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_TRUE(balloonShown(L"Upload failed", L"No upload server is set."));
    EXPECT_TRUE(balloonShown(L"Upload failed",
                             L"The image was kept in " + UploadFolders::unsent() + kept[0]))
        << balloonLog();
    ASSERT_TRUE(exitProgram(*program));
    EXPECT_EQ(queued(), kept);
}

// Two seconds of a held combination, with the system's auto-repeat of its last key: one capture.
TEST_F(UploadEndToEndTest, AHeldCombinationGivesOneCapture) {
    const std::wstring server = TestEnvironment::ftpRoot(L"e2e_a");
    for (const std::wstring& name : filesIn(server, L"*.png"))
        ::DeleteFileW((server + L"\\" + name).c_str());
    auto program = startUploadingTo(L"e2e_a");
    auto send = [](WORD key, DWORD flags) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        ::SendInput(1, &input, sizeof input);
    };
    send(VK_LCONTROL, 0);
    send(VK_LSHIFT, 0);
    for (int repeat = 0; repeat < 60; ++repeat) {
        send('F', 0);
        waitFor([] { return false; }, 33);
    }
    send('F', KEYEVENTF_KEYUP);
    send(VK_LSHIFT, KEYEVENTF_KEYUP);
    send(VK_LCONTROL, KEYEVENTF_KEYUP);
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 30000))
        << balloonLog();
    // Time for any later capture to show itself.
    waitFor([] { return false; }, 2000);
    EXPECT_EQ(balloonsTitled(L"Image saved"), 1u) << balloonLog();
    EXPECT_EQ(filesIn(server, L"*.png").size(), 1u);
    ASSERT_TRUE(exitProgram(*program));
}

// Another program holds the clipboard for a second while the address is ready: it still arrives,
// and the balloon carries it.
TEST_F(UploadEndToEndTest, AnAddressArrivesThoughAnotherProgramHoldsTheClipboardASecond) {
    auto program = startUploadingTo(L"e2e_a", true);
    ASSERT_TRUE(ClipboardText::write(L"before"));
    {
        ClipboardText::Holder holder(1000);
        ASSERT_TRUE(holder.held());
        pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
        ASSERT_TRUE(waitFor([&] { return balloonShown(L"Image saved"); }, 30000)) << balloonLog();
    }
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 10000))
        << balloonLog();
    const std::wstring address = ClipboardText::read();
    EXPECT_EQ(address.rfind(L"http://shots.example/", 0), 0u) << narrow(address);
    EXPECT_TRUE(balloonShown(L"Upload successfull", L"URL copied to clipboard"));
    EXPECT_TRUE(balloonShown(L"Upload successfull", address));
    ASSERT_TRUE(exitProgram(*program));
}

// Each finished upload is one line of the history; the icon's menu lists them newest first, and
// choosing one copies its address.
TEST_F(UploadEndToEndTest, TheHistoryRecordsEachUploadAndTheMenuCopiesOne) {
    auto program = startUploadingTo(L"e2e_a");
    for (std::size_t capture = 1; capture <= 2; ++capture) {
        pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
        ASSERT_TRUE(
            waitFor([&] { return balloonsTitled(L"Upload successfull") >= capture; }, 30000))
            << balloonLog();
        // One second apart, so that the two have names of their own seconds.
        waitFor([] { return false; }, 1100);
    }
    const std::vector<stHistoryEntry> lines =
        HistoryText::parse(TestEnvironment::readFileBytes(UploadFolders::historyFile()));
    ASSERT_EQ(lines.size(), 2u);
    for (const stHistoryEntry& line : lines) {
        EXPECT_EQ(line.address.rfind(L"http://shots.example/", 0), 0u) << narrow(line.address);
        EXPECT_EQ(line.localPath, L"");
        EXPECT_EQ(line.server, TestEnvironment::ftpAddress(L"e2e_a"));
        EXPECT_EQ(line.time.size(), 19u);
    }

    ASSERT_TRUE(ClipboardText::write(L"before"));
    HWND hidden = program->findAnyWindow(L"Pixlance:");
    const UINT trayMessage =
        ::RegisterWindowMessageW(L"TrayMessage-EBCB65A0-C3C3-476a-8961-5BCF92D2ED2D");
    ::PostMessageW(hidden, trayMessage, 130, WM_RBUTTONUP);
    HWND menu = nullptr;
    ASSERT_TRUE(waitFor([&] { return (menu = program->findWindow(L"#32768")) != nullptr; }, 10000));
    // Down to the recent uploads, into them: the newest is first, the older second.
    for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RIGHT}) {
        ::PostMessageW(menu, WM_KEYDOWN, key, 0);
        waitFor([] { return false; }, 150);
    }
    RECT shown{};
    ::GetWindowRect(menu, &shown);
    HWND submenu = nullptr;
    waitFor(
        [&] {
            HWND found = ::FindWindowW(L"#32768", nullptr);
            for (; found; found = ::FindWindowExW(nullptr, found, L"#32768", nullptr))
                if (found != menu && ::IsWindowVisible(found))
                    submenu = found;
            return submenu != nullptr;
        },
        3000);
    if (submenu) {
        RECT sub{};
        ::GetWindowRect(submenu, &sub);
        UnionRect(&shown, &shown, &sub);
    }
    FramePtr picture = grabRect(shown);
    {
        DiskFile file(TestEnvironment::artifactDir() + L"\\tray-menu.png",
                      DiskFile::Mode::CreateReadWrite);
        writeFrameAs(0, picture.get(), &file, nullptr);
        file.close();
    }
    for (WPARAM key : {VK_DOWN, VK_RETURN}) {
        ::PostMessageW(submenu ? submenu : menu, WM_KEYDOWN, key, 0);
        waitFor([] { return false; }, 150);
    }
    ASSERT_TRUE(waitFor([] { return ClipboardText::read() != L"before"; }, 10000));
    EXPECT_EQ(ClipboardText::read(), lines[0].address) << "the second newest is the older one";
    ASSERT_TRUE(exitProgram(*program));
}

// Twenty 1080p captures against a server that takes no data: they wait on disk, not in memory.
TEST_F(UploadEndToEndTest, TwentyCapturesAgainstAStalledServerHoldNoPixelsInMemory) {
    const std::size_t stores = TestEnvironment::ftpLogCount(L"e2e_stall", "command STOR");
    auto program = startUploadingTo(L"e2e_stall");
    const std::size_t atStart = privateBytes(*program);
    ASSERT_GT(atStart, 0u);
    for (int capture = 0; capture < 20; ++capture)
        captureAndWaitUntilQueued();
    ASSERT_TRUE(waitFor([] { return queued().size() == 20; }, 30000));
    // Two transfers hang in the server; the other captures wait their turn.
    ASSERT_TRUE(waitFor(
        [&] { return TestEnvironment::ftpLogCount(L"e2e_stall", "command STOR") == stores + 2; },
        30000));
    EXPECT_FALSE(balloonShown(L"Upload failed")) << balloonLog();
    const std::size_t after = privateBytes(*program);
    std::printf("private bytes: %zu KiB at start, %zu KiB with 20 captures queued\n",
                atStart / 1024, after / 1024);
    EXPECT_LT(after, atStart + 100u * 1024 * 1024)
        << "at start " << atStart / 1024 << " KiB, after " << after / 1024 << " KiB";
    program->kill();
}

} // namespace
