// Drives the real Pixlance.exe as a separate process: start-up, the single-instance guard, settings
// persistence, registry values, the start-up shortcut, a capture through the keyboard hook with
// its file, upload, clipboard text and balloons, and exit.
#include "EndToEndFixture.h"

#include "app/AppFolders.h"
#include "app/FrameName.h"
#include "capture/ScreenGrab.h"
#include "output/FrameWriting.h"
#include "platform/DiskFile.h"
#include "settings/RegistryProfile.h"
#include "res/resource.h"
#include "settings/cBinSettingBag.h"
#include "support/BrowserRecorder.h"
#include "support/ClipboardText.h"
#include "support/FakeShellTray.h"
#include "support/PaintedWindow.h"
#include "support/ProgramProcess.h"
#include "support/RenderedText.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <shellapi.h>

#include <algorithm>
#include <ctime>
#include <cwctype>
#include <functional>
#include <map>
#include <utility>

using namespace EndToEnd;

namespace {

using TestEnvironment::filesIn;

class EndToEndTest : public Fixture {};

TEST_F(EndToEndTest, FirstStartUsesDefaultsAndCreatesFolderRegistryValuesAndShortcut) {
    auto program = start();
    ASSERT_TRUE(program->running());
    EXPECT_TRUE(TestEnvironment::fileExists(settingsFolder() + L"running"));
    EXPECT_TRUE(TestEnvironment::fileExists(shortcutFile()));
    RegistryProfile p = profile();
    EXPECT_EQ(p.readString(L"Default", L"Server", L"-"), L"ftp.pixlance.example");
    EXPECT_EQ(p.readString(L"Default", L"Username", L"-"), kBuiltinUser);
    EXPECT_EQ(p.readString(L"Default", L"Path", L"-"), L"/");
    EXPECT_EQ(p.readString(L"Default", L"URL", L"-"), L"http://img.pixlance.example");
    EXPECT_FALSE(TestEnvironment::fileExists(settingsFile()));
    EXPECT_TRUE(shell.requests()[0].contains(L"Morvex"));
    EXPECT_FALSE(balloonShown(L"Settings could not be loaded")) << "a first start is silent";

    ASSERT_TRUE(exitProgram(*program));
    EXPECT_EQ(program->exitCode(), 0u);
    EXPECT_EQ(requestsOf(NIM_DELETE), 1u);
    cBinSettingBag saved = readSettings();
    std::int32_t value = -1;
    EXPECT_TRUE(saved.getInt(L"DiskOutput", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(saved.getInt(L"ClipboardOutput", value));
    EXPECT_EQ(value, 0);
    EXPECT_TRUE(saved.getInt(L"RunAtStartup", value));
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(saved.getInt(L"OutputFormat", value));
    EXPECT_EQ(value, 0);
    std::wstring text;
    EXPECT_TRUE(saved.getString(L"Full", text));
    EXPECT_EQ(text, L"17,16,70");
    bool flag = false;
    EXPECT_TRUE(saved.getBool(L"copyUrl", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(saved.getBool(L"isEnabled", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(saved.getBool(L"ftpCustom", flag));
    EXPECT_FALSE(flag);
}

TEST_F(EndToEndTest, SecondInstanceShowsTheBoxAndLeavesTheFirstAlone) {
    auto first = start();
    ASSERT_TRUE(first->running());
    const std::string shortcutBefore = TestEnvironment::readFileBytes(shortcutFile());

    ProgramProcess second(programPath());
    HWND box = nullptr;
    ASSERT_TRUE(waitFor([&] { return (box = second.findWindow(L"#32770")) != nullptr; }, 20000));
    wchar_t text[256] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_STREQ(text, L"Another instance of the applcation\nis already running!");
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(second.waitForExit(10000));
    EXPECT_EQ(requestsOf(NIM_ADD), 1u);
    EXPECT_TRUE(first->running());
    EXPECT_FALSE(TestEnvironment::fileExists(settingsFile())); // the second saved nothing
    EXPECT_EQ(TestEnvironment::readFileBytes(shortcutFile()), shortcutBefore);
    ASSERT_TRUE(exitProgram(*first));

    // The "running" file stays behind and does not block the next start.
    ASSERT_TRUE(TestEnvironment::fileExists(settingsFolder() + L"running"));
    auto third = start();
    EXPECT_TRUE(third->running());
    EXPECT_EQ(requestsOf(NIM_ADD), 2u);
    EXPECT_TRUE(exitProgram(*third));
}

TEST_F(EndToEndTest, ClipboardOutputIsTurnedOffWhileTheAddressIsCopied) {
    writeSettings([](cBinSettingBag& bag) {
        bag.setInt(L"ClipboardOutput", 1);
        bag.setBool(L"copyUrl", true);
        bag.setInt(L"RunAtStartup", 0);
        bag.setString(L"Unknown", L"kept");
    });
    auto program = start();
    ASSERT_TRUE(program->running());
    EXPECT_FALSE(TestEnvironment::fileExists(shortcutFile())); // "RunAtStartup" 0
    ASSERT_TRUE(exitProgram(*program));
    cBinSettingBag saved = readSettings();
    std::int32_t value = -1;
    EXPECT_TRUE(saved.getInt(L"ClipboardOutput", value));
    EXPECT_EQ(value, 0);
    std::wstring kept;
    EXPECT_TRUE(saved.getString(L"Unknown", kept));
    EXPECT_EQ(kept, L"kept");
}

TEST_F(EndToEndTest, RegisterAndUnregisterDoTheirWorkAndExitWithoutTheIcon) {
    const wchar_t* key = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Pixlance.exe";
    ProgramProcess registering(programPath(), L"/Register");
    ASSERT_TRUE(registering.waitForExit(20000));
    HKEY raw = nullptr;
    EXPECT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &raw), ERROR_SUCCESS);
    if (raw)
        ::RegCloseKey(raw);
    ProgramProcess unregistering(programPath(), L"-UNREGSERVER");
    ASSERT_TRUE(unregistering.waitForExit(20000));
    raw = nullptr;
    EXPECT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &raw), ERROR_SUCCESS);
    EXPECT_EQ(requestsOf(NIM_ADD), 0u);
    EXPECT_FALSE(TestEnvironment::fileExists(settingsFile()));
    EXPECT_FALSE(TestEnvironment::fileExists(shortcutFile()));
}

std::string narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

TEST_F(EndToEndTest, HotKeyCaptureLandsOnDiskOnTheServerAndOnTheClipboard) {
    const std::wstring folder = TestEnvironment::freshTempDir(L"e2e-shots");
    writeSettings([&](cBinSettingBag& bag) {
        bag.setInt(L"DiskOutput", 1);
        bag.setString(L"Folder", folder);
    });
    const std::wstring browserRecord = folder + L"\\browser.txt";
    RecorderAsBrowser browser(browserRecord);
    pointBuiltinTargetAt(TestEnvironment::ftpAddress(L"e2e_a"), L"http://shots.example/e2e");
    PaintedWindow marker(RECT{300, 300, 500, 400}, [](HDC dc, int w, int h) {
        PaintedWindow::fill(dc, RECT{0, 0, w, h}, RGB(12, 200, 99));
    });
    // Other users' images under the time names of the coming seconds, as a shared account holds.
    std::map<std::wstring, std::string> theirs;
    for (std::time_t second = std::time(nullptr); theirs.size() < 60; ++second) {
        const std::wstring name = frameNameFor(second) + L".png";
        theirs[name] = "another user's image of " + narrow(name);
        TestEnvironment::writeFileBytes(TestEnvironment::ftpRoot(L"e2e_a") + L"\\" + name,
                                        theirs[name]);
    }
    auto program = start();
    ASSERT_TRUE(program->running());
    shell.clear();

    pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 30000))
        << balloonLog();

    auto shots = filesIn(folder, L"*.png");
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_TRUE(isTimeStampName(shots[0], L".png"));
    const std::string onDisk = TestEnvironment::readFileBytes(folder + L"\\" + shots[0]);
    TestImages::DecodedImage image = TestImages::decode(onDisk);
    ASSERT_EQ(image.width, 1920);
    ASSERT_EQ(image.height, 1080);
    EXPECT_EQ(image.at(400, 350), RGB(12, 200, 99));

    // On the server under the local name with its random suffix; the address names that file.
    const std::wstring remote = remoteFileOf(TestEnvironment::ftpRoot(L"e2e_a"), shots[0]);
    ASSERT_FALSE(remote.empty());
    EXPECT_TRUE(TestEnvironment::readFileBytes(TestEnvironment::ftpRoot(L"e2e_a") + L"\\" +
                                               remote) == onDisk);
    EXPECT_EQ(ClipboardText::read(), L"http://shots.example/e2e/" + remote);
    EXPECT_EQ(waitForRecord(browserRecord), L"http://shots.example/e2e/" + remote);
    for (const auto& [name, bytes] : theirs)
        EXPECT_TRUE(TestEnvironment::readFileBytes(TestEnvironment::ftpRoot(L"e2e_a") + L"\\" +
                                                   name) == bytes)
            << narrow(name);
    for (const auto& entry : theirs)
        ::DeleteFileW((TestEnvironment::ftpRoot(L"e2e_a") + L"\\" + entry.first).c_str());

    EXPECT_TRUE(balloonShown(L"Image written to disk"));
    EXPECT_TRUE(balloonShown(L"Image saved", L"Uploading to ftp"));
    EXPECT_TRUE(balloonShown(L"Upload successfull", L"URL copied to clipboard"));
    ASSERT_TRUE(exitProgram(*program));
}

// The frame name a file of a capture carries, split into its second and its number (1 without a
// suffix); a number of 0 when the name is not one of a capture.
std::pair<std::wstring, int> captureName(const std::wstring& file, const std::wstring& extension) {
    if (file.size() < 17 + extension.size() ||
        file.substr(file.size() - extension.size()) != extension ||
        !isTimeStampName(file.substr(0, 17) + extension, extension))
        return {L"", 0};
    const std::wstring suffix = file.substr(17, file.size() - 17 - extension.size());
    if (suffix.empty())
        return {file.substr(0, 17), 1};
    if (suffix.size() < 2 || suffix[0] != L'_' || suffix[1] == L'0' ||
        suffix.find_first_not_of(L"0123456789", 1) != std::wstring::npos)
        return {L"", 0};
    return {file.substr(0, 17), std::stoi(suffix.substr(1))};
}

// Twelve hot-key captures, a quarter of a second apart, whole screen and foreground window in
// turn: twelve files on disk and twelve on the server, one name each, where the first capture of a
// second keeps the plain name and the later ones are numbered after it.
TEST_F(EndToEndTest, TwelveQuickCapturesKeepTwelveFilesOnDiskAndOnTheServer) {
    const std::wstring folder = TestEnvironment::freshTempDir(L"e2e-burst");
    writeSettings([&](cBinSettingBag& bag) {
        bag.setInt(L"DiskOutput", 1);
        bag.setInt(L"OutputFormat", 1);
        bag.setString(L"Folder", folder);
        bag.setBool(L"openBrowser", false);
    });
    const std::wstring serverFolder = TestEnvironment::ftpRoot(L"e2e_a") + L"\\burst";
    TestEnvironment::removeTree(serverFolder);
    ASSERT_TRUE(::CreateDirectoryW(serverFolder.c_str(), nullptr));
    pointBuiltinTargetAt(TestEnvironment::ftpAddress(L"e2e_a"), L"http://shots.example/burst");
    profile().writeString(L"Default", L"Path", L"/burst");
    PaintedWindow marker(RECT{300, 300, 500, 400}, [](HDC dc, int w, int h) {
        PaintedWindow::fill(dc, RECT{0, 0, w, h}, RGB(200, 40, 99));
    });
    auto program = start();
    ASSERT_TRUE(program->running());
    ::SetForegroundWindow(marker.hwnd());
    shell.clear();

    constexpr std::size_t kCaptures = 12;
    for (std::size_t i = 0; i < kCaptures; ++i) {
        pressKeys({VK_LCONTROL, VK_LSHIFT, static_cast<WORD>(i % 2 == 0 ? 'F' : 'A')});
        waitFor([] { return false; }, 250);
    }
    auto uploads = [&] {
        std::size_t count = 0;
        for (const auto& request : shell.requests())
            count += request.message == NIM_MODIFY && request.contains(L"Upload successfull");
        return count;
    };
    ASSERT_TRUE(waitFor([&] { return uploads() >= kCaptures; }, 60000)) << balloonLog();

    std::vector<std::wstring> saved = filesIn(folder, L"*.jpg");
    std::sort(saved.begin(), saved.end());
    ASSERT_EQ(saved.size(), kCaptures);
    std::map<std::wstring, std::vector<int>> numbersBySecond;
    std::vector<std::wstring> remoteNames;
    for (const std::wstring& file : saved) {
        const auto [second, number] = captureName(file, L".jpg");
        ASSERT_NE(number, 0) << narrow(file);
        numbersBySecond[second].push_back(number);
        const std::string bytes = TestEnvironment::readFileBytes(folder + L"\\" + file);
        EXPECT_GT(TestImages::decode(bytes).width, 0) << narrow(file);
        const std::wstring remote = remoteFileOf(serverFolder, file);
        EXPECT_TRUE(TestEnvironment::readFileBytes(serverFolder + L"\\" + remote) == bytes)
            << narrow(file);
        remoteNames.push_back(remote);
    }
    for (auto& [second, numbers] : numbersBySecond) {
        std::sort(numbers.begin(), numbers.end());
        for (std::size_t i = 0; i < numbers.size(); ++i)
            EXPECT_EQ(numbers[i], static_cast<int>(i + 1)) << narrow(second);
    }
    EXPECT_LT(numbersBySecond.size(), kCaptures) << "no two captures shared a second";
    EXPECT_EQ(filesIn(serverFolder).size(), kCaptures);
    const std::wstring copied = ClipboardText::read();
    EXPECT_NE(
        std::find(remoteNames.begin(), remoteNames.end(), copied.substr(copied.rfind(L'/') + 1)),
        remoteNames.end())
        << narrow(copied);
    ASSERT_TRUE(exitProgram(*program));
}

TEST_F(EndToEndTest, RegistryValuesChosenBetweenRunsBecomeTheBuiltInTarget) {
    for (const wchar_t* fixture : {L"e2e_a", L"e2e_b"}) {
        pointBuiltinTargetAt(TestEnvironment::ftpAddress(fixture), L"");
        const std::wstring root = TestEnvironment::ftpRoot(fixture);
        // An earlier test's upload in the same second would share the name and be replaced.
        for (const std::wstring& name : filesIn(root, L"*.png"))
            ::DeleteFileW((root + L"\\" + name).c_str());
        auto program = start();
        ASSERT_TRUE(program->running());
        shell.clear();
        pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
        ASSERT_TRUE(waitFor([&] { return balloonShown(L"Upload successfull"); }, 30000))
            << balloonLog();
        EXPECT_EQ(filesIn(root, L"*.png").size(), 1u) << fixture;
        ASSERT_TRUE(exitProgram(*program));
    }
}

TEST_F(EndToEndTest, ExitDuringAnUploadToAHangingServerEndsInBoundedTime) {
    writeSettings([](cBinSettingBag& bag) { bag.setBool(L"openBrowser", false); });
    pointBuiltinTargetAt(TestEnvironment::ftpAddress(L"e2e_hang"), L"");
    auto program = start();
    ASSERT_TRUE(program->running());
    shell.clear();
    pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
    ASSERT_TRUE(waitFor([&] { return balloonShown(L"Image saved"); }, 30000)) << balloonLog();
    const DWORD begin = ::GetTickCount();
    ASSERT_TRUE(exitProgram(*program, 30000));
    EXPECT_LT(::GetTickCount() - begin, 15000u);
    EXPECT_TRUE(TestEnvironment::fileExists(settingsFile()));
}

// The icon goes at exit, and a balloon with it: a save that fails then is told in a message box.
TEST_F(EndToEndTest, FailedSaveAtExitSaysSoInABoxAndKeepsThePreviousSettings) {
    writeSettings([](cBinSettingBag& bag) { bag.setInt(L"OutputFormat", 2); });
    const std::string before = TestEnvironment::readFileBytes(settingsFile());
    auto program = start();
    ASSERT_TRUE(program->running());
    {
        // Held open without sharing, the file cannot be replaced.
        UniqueFileHandle held(::CreateFileW(settingsFile().c_str(), GENERIC_READ, 0, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        ::PostMessageW(program->findAnyWindow(L"Pixlance:"), WM_COMMAND, ID_EXIT, 0);
        HWND box = nullptr;
        ASSERT_TRUE(
            waitFor([&] { return (box = program->findWindow(L"#32770")) != nullptr; }, 20000))
            << balloonLog();
        wchar_t title[64] = {};
        ::GetWindowTextW(box, title, 64);
        EXPECT_STREQ(title, L"Pixlance");
        wchar_t text[512] = {};
        ::GetDlgItemTextW(box, 0xFFFF, text, 512);
        EXPECT_EQ(std::wstring(text), L"The settings file could not be written: " + settingsFile());
        ::PostMessageW(box, WM_COMMAND, IDOK, 0);
        ASSERT_TRUE(program->waitForExit(20000));
    }
    EXPECT_EQ(program->exitCode(), 0u);
    EXPECT_EQ(TestEnvironment::readFileBytes(settingsFile()), before);
}

// The title of a visible balloon as the shell's tooltip draws it: bold status font, tooltip
// colours.
RenderedText::InkMask balloonTitle(const std::wstring& title) {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    ::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0);
    LOGFONTW font = metrics.lfStatusFont;
    font.lfWeight = FW_BOLD;
    return RenderedText::render(title, font, ::GetSysColor(COLOR_INFOTEXT),
                                ::GetSysColor(COLOR_INFOBK));
}

HWND visibleBalloon() {
    HWND balloon = ::FindWindowW(L"tooltips_class32", nullptr);
    while (balloon && !::IsWindowVisible(balloon))
        balloon = ::FindWindowExW(nullptr, balloon, L"tooltips_class32", nullptr);
    return balloon;
}

// With the real notification area of the Wine desktop: the icon and the balloon of the finished
// upload, whose title must be on the screen as the shell draws it; saved as a picture for a person
// to look at.
TEST(TrayScreenshotTest, BalloonShowsBesideTheIcon) {
    resetProgramState();
    pointBuiltinTargetAt(TestEnvironment::ftpAddress(L"e2e_a"), L"http://shots.example");
    ProgramProcess program(programPath());
    ASSERT_TRUE(program.started());
    HWND trayWindow = nullptr;
    ASSERT_TRUE(waitFor(
        [&] { return (trayWindow = ::FindWindowW(nullptr, L"Wine System Tray")) != nullptr; },
        30000));
    ASSERT_TRUE(waitUntilStarted(program, false));

    pressKeys({VK_LCONTROL, VK_LSHIFT, 'F'});
    // The shell shows each balloon in a tooltip window of its own; earlier balloons of the capture
    // give way to the upload's.
    const RenderedText::InkMask title = balloonTitle(L"Upload successfull");
    ASSERT_GT(title.inkCount(), 100u);
    const std::size_t wholeTitle = title.inkCount();
    // The best sight of the title so far, and the balloon it was seen in. Wine's shell cuts a
    // bold title at the balloon's edge, so what counts is how much of the title shows, exactly as
    // drawn, from its left, with nothing but background after it.
    RenderedText::Shown best;
    RECT balloonRect{};
    bool sawBalloon = false;
    waitFor(
        [&] {
            HWND balloon = visibleBalloon();
            RECT rect{};
            if (!balloon || !::GetWindowRect(balloon, &rect))
                return false;
            sawBalloon = true;
            FramePtr balloonShot = grabRect(rect);
            const RenderedText::InkMask picture = RenderedText::inkOf(
                *balloonShot, ::GetSysColor(COLOR_INFOTEXT), ::GetSysColor(COLOR_INFOBK));
            const RenderedText::Shown seen = RenderedText::shownFromLeft(
                picture, title, RenderedText::bestMatch(picture, title));
            if (seen.cutClean && seen.ink > best.ink) {
                best = seen;
                balloonRect = rect;
            }
            return best.ink * 10 >= wholeTitle * 9;
        },
        30000);
    ASSERT_TRUE(sawBalloon);
    RECT trayRect{};
    ::GetWindowRect(trayWindow, &trayRect);
    RECT area{std::min(trayRect.left, balloonRect.left) - 10,
              std::min(trayRect.top, balloonRect.top) - 10,
              std::max(trayRect.right, balloonRect.right) + 10,
              std::max(trayRect.bottom, balloonRect.bottom) + 10};
    area.left = std::max<LONG>(area.left, 0);
    area.top = std::max<LONG>(area.top, 0);
    FramePtr shot = grabRect(area);
    ASSERT_GT(shot->width, 0);
    {
        DiskFile file(TestEnvironment::artifactDir() + L"\\tray-balloon.png",
                      DiskFile::Mode::CreateReadWrite);
        ASSERT_TRUE(writeFrameAs(0, shot.get(), &file, nullptr));
        file.close();
    }
    // At least nine tenths of the title's ink, pixel for pixel (the shell's cut takes the last
    // letter or two), before the balloon went.
    EXPECT_GE(best.ink * 10, wholeTitle * 9)
        << best.ink << " of the title's " << wholeTitle << " inked pixels shown";

    HWND window = program.findAnyWindow(L"Pixlance:");
    ::PostMessageW(window, WM_COMMAND, ID_EXIT, 0);
    EXPECT_TRUE(program.waitForExit(20000));
}

} // namespace
