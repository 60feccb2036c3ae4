#include "app/CPixlanceApp.h"
#include "hotkeys/CaptureRequest.h"
#include "app/FrameName.h"
#include "capture/ScreenGrab.h"
#include "capture/cFullScreenWnd.h"
#include "platform/Handles.h"
#include "platform/MessagePump.h"
#include "platform/ResourceException.h"
#include "support/AllocationLimit.h"
#include "support/InputScript.h"
#include "support/MemorySettingBag.h"
#include "support/PaintedWindow.h"
#include "support/SelectionTestKit.h"
#include "support/ServerLog.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <cwchar>
#include <functional>
#include <memory>
#include <new>
#include <set>
#include <string>
#include <tuple>
#include <vector>

using namespace SelectionTestKit;
using TestImages::framePixel;

namespace {

const std::wstring kFailedTitle = L"Failed to capture screenshot";

struct PutCall {
    std::string output;
    const cFrame* frame;
    int width;
    int height;
    std::size_t stride;
    bool hasPixels;
    std::wstring name;
    std::wstring fileStem;
    int format;
    IFrameOutputUpdate* update;
    bool captureInProgress;
    COLORREF sample; // the frame's pixel at (300, 300) of the screen, when the frame reaches there
};

class RecordingOutput : public IFrameOutput {
public:
    RecordingOutput(std::string name, std::vector<PutCall>& log, const CPixlanceApp& app)
        : name_(std::move(name)), log_(log), app_(app) {}

    void put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) override {
        const cFrame* frame = capture->frame.get();
        COLORREF sample = CLR_INVALID;
        if (frame->pixels && frame->width > 300 && frame->height > 300)
            sample = framePixel(*frame, 300, 300);
        log_.push_back({name_, frame, frame->width, frame->height, frame->stride(),
                        frame->pixels != nullptr, frame->name, frame->fileStem(), format, update,
                        app_.captureInProgress(), sample});
        if (onPut)
            onPut();
    }
    void cancelPending() override {}

    std::function<void()> onPut;

private:
    std::string name_;
    std::vector<PutCall>& log_;
    const CPixlanceApp& app_;
};

class RecordingUpdate : public IFrameOutputUpdate {
public:
    bool notify(bool ok, const std::wstring& title, const std::wstring& text) override {
        // Recording needs memory; the dispatch has made its report by now.
        AllocationLimit::set(AllocationLimit::kNone);
        notified.emplace_back(ok, title, text);
        return true;
    }
    void progress(const std::wstring&, const std::wstring&) override { ++progressed; }

    std::vector<std::tuple<bool, std::wstring, std::wstring>> notified;
    int progressed = 0;
};

// Keeps the capture dispatch as the thread's handler of window-less messages for one test.
class ThreadHandlerScope {
public:
    explicit ThreadHandlerScope(MessagePump::ThreadMessageHandler handler) {
        MessagePump::setThreadMessageHandler(std::move(handler));
    }
    ~ThreadHandlerScope() { MessagePump::setThreadMessageHandler(nullptr); }
};

// Runs the thread's messages through the pump until a message of this kind has gone through it.
constexpr UINT kMarker = WM_APP + 40;
bool pumpUntilMarker(const bool& seen) {
    ::PostThreadMessageW(::GetCurrentThreadId(), kMarker, 0, 0);
    const DWORD start = ::GetTickCount();
    int quitCode = 0;
    while (!seen && ::GetTickCount() - start < 5000) {
        if (!MessagePump::pumpOne(nullptr, quitCode))
            return false;
    }
    return seen;
}

std::vector<std::string> outputsCalled(const std::vector<PutCall>& log) {
    std::vector<std::string> names;
    for (const PutCall& call : log)
        names.push_back(call.output);
    return names;
}

class CaptureDispatchTest : public PatternScreenTest {
protected:
    void SetUp() override {
        app.setOutputs(&disk, &clipboard, &ftp);
        app.setStatusCallback(&update);
        PatternScreenTest::SetUp();
    }

    // A name that frameNameFor gave for a moment between the two times.
    static bool nameOfTimeBetween(const std::wstring& name, std::time_t before, std::time_t after) {
        for (std::time_t t = before; t <= after; ++t)
            if (name == frameNameFor(t))
                return true;
        return false;
    }

    std::vector<PutCall> log;
    CPixlanceApp app;
    RecordingOutput disk{"disk", log, app};
    RecordingOutput clipboard{"clipboard", log, app};
    RecordingOutput ftp{"ftp", log, app};
    RecordingUpdate update;
};

TEST_F(CaptureDispatchTest, FullScreenFrameGoesToDiskThenClipboardThenFtp) {
    app.setDiskOutputOn(1);
    app.setClipboardOutputOn(7);
    app.setOutputFormat(2);
    const std::time_t before = std::time(nullptr);
    app.OnCaptureRequest(CaptureFullScreen, 0);
    const std::time_t after = std::time(nullptr);

    ASSERT_EQ(outputsCalled(log), (std::vector<std::string>{"disk", "clipboard", "ftp"}));
    for (const PutCall& call : log) {
        EXPECT_EQ(call.frame, log[0].frame) << call.output;
        EXPECT_EQ(call.width, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
        EXPECT_EQ(call.height, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
        EXPECT_TRUE(call.hasPixels);
        EXPECT_EQ(call.format, 2);
        EXPECT_EQ(call.update, &update);
        EXPECT_TRUE(call.captureInProgress);
        EXPECT_EQ(call.sample, patternColour(300 - kPatternRect.left, 300 - kPatternRect.top));
        EXPECT_TRUE(nameOfTimeBetween(call.name, before, after));
        EXPECT_EQ(call.name.size(), 17u);
    }
    EXPECT_TRUE(update.notified.empty());
    EXPECT_FALSE(app.captureInProgress());
}

TEST_F(CaptureDispatchTest, WithBothSwitchesOffOnlyTheFtpOutputGetsTheFrame) {
    app.setOutputFormat(1);
    app.OnCaptureRequest(CaptureFullScreen, 0);
    ASSERT_EQ(outputsCalled(log), std::vector<std::string>{"ftp"});
    EXPECT_EQ(log[0].format, 1);
    EXPECT_TRUE(update.notified.empty());
}

// Each output stands alone: one that raises is reported, and the ones after it still get the frame.
TEST_F(CaptureDispatchTest, AnOutputThatRaisesIsReportedAndTheOutputsAfterItStillRun) {
    app.setDiskOutputOn(1);
    app.setClipboardOutputOn(1);
    disk.onPut = [] { throw AppException(L"The folder is gone."); };
    clipboard.onPut = [] { throw AppException(L"The clipboard is held by another program."); };
    app.OnCaptureRequest(CaptureFullScreen, 0);
    EXPECT_EQ(outputsCalled(log), (std::vector<std::string>{"disk", "clipboard", "ftp"}));
    EXPECT_TRUE(log.back().hasPixels);
    ASSERT_EQ(update.notified.size(), 2u);
    EXPECT_EQ(update.notified[0],
              std::make_tuple(false, kFailedTitle, std::wstring(L"The folder is gone.")));
    EXPECT_EQ(update.notified[1],
              std::make_tuple(false, kFailedTitle,
                              std::wstring(L"The clipboard is held by another program.")));
    EXPECT_FALSE(app.captureInProgress());
}

TEST_F(CaptureDispatchTest, OutputThatRunsOutOfMemoryIsReportedWithoutAllocating) {
    disk.onPut = [] {
        AllocationLimit::set(0);
        throw std::bad_alloc();
    };
    app.setDiskOutputOn(1);
    app.OnCaptureRequest(CaptureFullScreen, 0);
    AllocationLimit::set(AllocationLimit::kNone);

    ASSERT_EQ(update.notified.size(), 1u);
    EXPECT_EQ(std::get<1>(update.notified[0]), kFailedTitle);
    EXPECT_EQ(std::get<2>(update.notified[0]), L"内存不足.");
    EXPECT_EQ(outputsCalled(log), (std::vector<std::string>{"disk", "ftp"}));
    EXPECT_FALSE(app.captureInProgress());
}

TEST_F(CaptureDispatchTest, TheReportShowsAtMost254CharactersOfTheMessage) {
    disk.onPut = [] { throw ResourceException(); };
    app.setDiskOutputOn(1);
    app.OnCaptureRequest(CaptureFullScreen, 0);
    EXPECT_EQ(outputsCalled(log), (std::vector<std::string>{"disk", "ftp"}));
    ASSERT_EQ(update.notified.size(), 1u);
    EXPECT_EQ(std::get<2>(update.notified[0]), L"必须的资源不可用");

    ftp.onPut = [] { throw AppException(std::wstring(300, L'x')); };
    app.setDiskOutputOn(0);
    app.OnCaptureRequest(CaptureFullScreen, 0);
    ASSERT_EQ(update.notified.size(), 2u);
    EXPECT_EQ(std::get<2>(update.notified[1]), std::wstring(254, L'x'));
}

TEST_F(CaptureDispatchTest, UnknownModesDoNothing) {
    app.setDiskOutputOn(1);
    app.setClipboardOutputOn(1);
    for (WPARAM mode : {WPARAM{4}, WPARAM{5}, WPARAM{1000}, ~WPARAM{0}})
        app.OnCaptureRequest(mode, 0);
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(update.notified.empty());
    EXPECT_FALSE(app.captureInProgress());
}

TEST_F(CaptureDispatchTest, ForegroundWindowRequestGrabsThatWindow) {
    PaintedWindow window(RECT{500, 400, 900, 650}, [](HDC dc, int w, int h) {
        PaintedWindow::fill(dc, RECT{0, 0, w, h}, RGB(12, 34, 56));
    });
    ::SetForegroundWindow(window.hwnd());
    ASSERT_TRUE(pumpUntil([&] { return ::GetForegroundWindow() == window.hwnd(); }));
    app.OnCaptureRequest(CaptureForegroundWindow, 0);
    ASSERT_EQ(outputsCalled(log), std::vector<std::string>{"ftp"});
    EXPECT_EQ(log[0].width, 400);
    EXPECT_EQ(log[0].height, 250);
    EXPECT_TRUE(update.notified.empty());
}

TEST_F(CaptureDispatchTest, NoForegroundWindowReportsTheResourceText) {
    // With every window of the test hidden, nothing is in the foreground.
    ::ShowWindow(pattern->hwnd(), SW_HIDE);
    const bool none = pumpUntil([] { return ::GetForegroundWindow() == nullptr; });
    if (none) {
        app.setDiskOutputOn(1);
        app.OnCaptureRequest(CaptureForegroundWindow, 0);
    }
    ::ShowWindow(pattern->hwnd(), SW_SHOW);
    ASSERT_TRUE(none) << "a window stayed in the foreground";
    EXPECT_TRUE(log.empty());
    ASSERT_EQ(update.notified.size(), 1u);
    EXPECT_EQ(update.notified[0],
              std::make_tuple(false, kFailedTitle, std::wstring(L"必须的资源不可用")));
    EXPECT_FALSE(app.captureInProgress());
}

TEST_F(CaptureDispatchTest, RegionRequestDeliversTheDraggedRectangle) {
    const FramePtr reference = grabFullScreen();
    app.setDiskOutputOn(1);
    app.setClipboardOutputOn(1);
    std::vector<unsigned char> delivered;
    ftp.onPut = [&] {
        const cFrame* frame = log.back().frame;
        delivered.assign(frame->pixels.get(), frame->pixels.get() + frame->bufferSize());
    };
    drag(100, 200, 400, 300);
    script.start();
    const std::time_t before = std::time(nullptr);
    app.OnCaptureRequest(CaptureRegion, 0);
    const std::time_t after = std::time(nullptr);
    EXPECT_TRUE(script.finished()) << script.failure();

    ASSERT_EQ(outputsCalled(log), (std::vector<std::string>{"disk", "clipboard", "ftp"}));
    for (const PutCall& call : log) {
        EXPECT_EQ(call.width, 300);
        EXPECT_EQ(call.height, 100);
        EXPECT_EQ(call.stride, 900u);
        EXPECT_TRUE(nameOfTimeBetween(call.name, before, after));
        EXPECT_TRUE(call.captureInProgress);
    }
    cFrame copy;
    copy.allocate(300, 100);
    ASSERT_EQ(delivered.size(), copy.bufferSize());
    std::copy(delivered.begin(), delivered.end(), copy.pixels.get());
    EXPECT_EQ(differenceFrom(copy, *reference, 100, 200), "");
    EXPECT_TRUE(update.notified.empty());
    EXPECT_FALSE(app.captureInProgress());
}

// "M" hides the magnifier; the choice goes into the settings and the next selection opens with it.
TEST_F(CaptureDispatchTest, TheMagnifierChoiceIsSavedAndTheNextSelectionKeepsIt) {
    const FramePtr reference = grabFullScreen();
    // Inside the magnifier's centre cell, 20 pixels below and right of the pointer at (300, 250).
    auto magnifierCell = [](const cFrame& frame) { return framePixel(frame, 380, 330); };
    FramePtr before;
    FramePtr hidden;
    FramePtr after;
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] { script.moveTo(300, 250); })
        .then([&] { before = grabFullScreen(); })
        .then([&] { script.press({'M'}); })
        .then([&] { hidden = grabFullScreen(); })
        .then([&] { script.press({VK_ESCAPE}); });
    script.start();
    app.OnCaptureRequest(CaptureRegion, 0);
    ASSERT_TRUE(script.finished()) << script.failure();
    MemorySettingBag bag;
    app.save(&bag);
    std::int32_t saved = 1;
    ASSERT_TRUE(bag.getInt(L"Magnifier", saved));
    EXPECT_EQ(saved, 0);

    InputScript next;
    next.onTimeout = endSelectionWindow;
    next.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] { next.moveTo(300, 250); })
        .then([&] { after = grabFullScreen(); })
        .then([&] { next.press({VK_ESCAPE}); });
    next.start();
    app.OnCaptureRequest(CaptureRegion, 0);
    ASSERT_TRUE(next.finished()) << next.failure();
    ASSERT_TRUE(before && hidden && after);
    EXPECT_NE(magnifierCell(*before), magnifierCell(*reference));
    EXPECT_EQ(magnifierCell(*hidden), magnifierCell(*reference));
    EXPECT_EQ(magnifierCell(*after), magnifierCell(*reference));
}

TEST_F(CaptureDispatchTest, EscapeRightClickAndClickOnTheBareDesktopCallNoOutput) {
    app.setDiskOutputOn(1);
    app.setClipboardOutputOn(1);
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] {
            script.keyDown(VK_ESCAPE);
            script.keyUp(VK_ESCAPE);
        });
    script.start();
    app.OnCaptureRequest(CaptureRegion, 0);
    EXPECT_TRUE(script.finished()) << script.failure();

    // No window stands at (1200, 60): a click there takes nothing; a right click ends the window.
    for (const bool right : {false, true}) {
        InputScript clickScript;
        clickScript.onTimeout = endSelectionWindow;
        clickScript
            .waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
            .then([&] { clickScript.moveTo(right ? 300 : 1200, right ? 250 : 60); })
            .then([&] { right ? clickScript.rightDown() : clickScript.leftDown(); })
            .then([&] { right ? clickScript.rightUp() : clickScript.leftUp(); });
        clickScript.start();
        app.OnCaptureRequest(CaptureRegion, 0);
        EXPECT_TRUE(clickScript.finished()) << clickScript.failure();
        EXPECT_EQ(shownSelectionWindow(), nullptr);
    }

    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(update.notified.empty());
    EXPECT_FALSE(app.captureInProgress());
}

// The upload logs in while the user chooses; a selection ended with Escape closes that connection
// and stores nothing, and leaves a connection kept warm by an earlier upload as it is.
TEST_F(CaptureDispatchTest, EscapeClosesTheLoginMadeForTheSelectionAndStoresNothing) {
    const std::wstring root = TestEnvironment::ftpRoot(L"dispatch_warm");
    const std::wstring state = TestEnvironment::freshTempDir(L"dispatch-warm");
    ::CreateDirectoryW((state + L"\\Unsent").c_str(), nullptr);
    app.ftp().setQueueFolder(state + L"\\Unsent");
    app.ftp().setHistoryFile(state + L"\\History.tsv");
    app.ftp().setTarget(TestEnvironment::ftpAddress(L"dispatch_warm"), L"tester", L"secret", L"/",
                        true);
    app.ftp().setFtpCustom(true);
    app.ftp().setCopyUrl(false);
    app.ftp().setOpenBrowser(false);
    app.setOutputs(nullptr, nullptr, &app.ftp());
    const ServerLog log(root);
    auto escapeOnceLoggedIn = [&](InputScript& input, int logins) {
        input.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
            .waitFor([&, logins] { return log.count("command PASS") >= logins; }, "the login")
            .then([&input] {
                input.keyDown(VK_ESCAPE);
                input.keyUp(VK_ESCAPE);
            });
        input.start();
        app.OnCaptureRequest(CaptureRegion, 0);
        EXPECT_TRUE(input.finished()) << input.failure();
    };
    escapeOnceLoggedIn(script, 1);
    EXPECT_TRUE(log.waitFor("disconnected", 1, 5000));
    EXPECT_EQ(log.count("connected"), 1);

    app.OnCaptureRequest(CaptureFullScreen, 0);
    ASSERT_TRUE(pumpUntil([&] { return app.ftp().unsentCount() == 0; }, 20000));
    ASSERT_EQ(TestEnvironment::filesIn(root).size(), 1u);
    InputScript again;
    escapeOnceLoggedIn(again, 2);
    pumpMessagesFor(1500);
    // The warm one is still open, and no other was made.
    EXPECT_EQ(log.count("connected"), 2);
    EXPECT_EQ(log.count("disconnected"), 1);
    EXPECT_EQ(log.count("command STOR"), 1);
    EXPECT_EQ(TestEnvironment::filesIn(root).size(), 1u);
    EXPECT_EQ(app.ftp().unsentCount(), 0u);
    EXPECT_TRUE(app.ftp().stopUploads(5000));
    // Exit closes it.
    EXPECT_TRUE(log.waitFor("disconnected", 2, 5000));
}

// Takes every GDI object the process may still have, so that the next one asked for fails.
class GdiExhaustion {
public:
    GdiExhaustion() {
        while (HRGN region = ::CreateRectRgn(0, 0, 1, 1))
            regions_.emplace_back(region);
    }
    bool exhausted() const { return !regions_.empty(); }

private:
    std::vector<UniqueResource<GdiObjectTraits<HRGN>>> regions_;
};

TEST_F(CaptureDispatchTest, ScreenThatCannotBeFrozenIsOneReportAndNoWindow) {
    app.setDiskOutputOn(1);
    bool exhausted = false;
    {
        GdiExhaustion exhaustion;
        exhausted = exhaustion.exhausted();
        app.OnCaptureRequest(CaptureRegion, 0);
    }
    ASSERT_TRUE(exhausted);
    EXPECT_EQ(shownSelectionWindow(), nullptr);
    EXPECT_TRUE(log.empty());
    ASSERT_EQ(update.notified.size(), 1u);
    EXPECT_FALSE(std::get<0>(update.notified[0]));
    EXPECT_EQ(std::get<1>(update.notified[0]), kFailedTitle);
    EXPECT_EQ(std::get<2>(update.notified[0]), ResourceException().message());
    EXPECT_FALSE(app.captureInProgress());
}

TEST_F(CaptureDispatchTest, RequestPostedWhileTheSelectionIsOpenIsDroppedForGood) {
    int requestsSeen = 0;
    bool markerSeen = false;
    ThreadHandlerScope handler([&](const MSG& msg) {
        if (msg.message == WM_CAPTURE_REQUEST)
            ++requestsSeen;
        if (msg.message == kMarker)
            markerSeen = true;
        app.handleThreadMessage(msg);
    });
    const DWORD thread = ::GetCurrentThreadId();
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] {
            ::PostThreadMessageW(thread, WM_CAPTURE_REQUEST, CaptureFullScreen, 0);
            ::PostThreadMessageW(thread, WM_CAPTURE_REQUEST, CaptureRegion, 0);
        })
        .waitFor([&] { return requestsSeen == 2; }, "the requests to arrive");
    drag(100, 200, 400, 300);
    script.start();
    app.OnCaptureRequest(CaptureRegion, 0);
    EXPECT_TRUE(script.finished()) << script.failure();

    ASSERT_TRUE(pumpUntilMarker(markerSeen));
    EXPECT_EQ(requestsSeen, 2);
    ASSERT_EQ(outputsCalled(log), std::vector<std::string>{"ftp"});
    EXPECT_EQ(log[0].width, 300);
    EXPECT_EQ(log[0].height, 100);
    EXPECT_EQ(shownSelectionWindow(), nullptr);
    EXPECT_TRUE(update.notified.empty());
}

// The application's own outputs: a folder that is gone does not cost the upload its image, which
// is queued and said to be kept.
TEST_F(CaptureDispatchTest, AMissingFolderStillQueuesTheUpload) {
    const std::wstring state = TestEnvironment::freshTempDir(L"dispatch-queue");
    app.disk().setFolder(state + L"\\gone\\");
    app.ftp().setQueueFolder(state + L"\\Unsent");
    app.ftp().setHistoryFile(state + L"\\History.tsv");
    app.ftp().setTarget(L"127.0.0.19", L"tester", L"secret", L"/", true);
    app.ftp().setFtpCustom(true);
    app.setOutputs(&app.disk(), nullptr, &app.ftp());
    app.setDiskOutputOn(1);
    app.OnCaptureRequest(CaptureFullScreen, 0);
    ASSERT_GE(update.notified.size(), 1u);
    EXPECT_EQ(std::get<1>(update.notified[0]), kFailedTitle);
    const std::vector<std::wstring> queued = TestEnvironment::filesIn(app.ftp().queueFolder());
    ASSERT_EQ(queued.size(), 1u);
    EXPECT_EQ(TestEnvironment::readFileBytes(app.ftp().queueFolder() + queued[0]).substr(0, 4),
              "\x89PNG");
    EXPECT_EQ(app.ftp().unsentCount(), 1u);
    app.ftp().stopUploads(5000);
}

// Another program's files hold the names of the coming seconds: each capture gets a file of its
// own beside them, and the output after the disk output names the image as its file is named.
TEST_F(CaptureDispatchTest, EachCaptureGetsAFileOfItsOwnAndTheUploadTakesItsName) {
    const std::wstring folder = TestEnvironment::freshTempDir(L"dispatch-names");
    app.disk().setFolder(folder);
    app.setOutputs(&app.disk(), nullptr, &ftp);
    app.setDiskOutputOn(1);
    app.setOutputFormat(2);
    const std::time_t now = std::time(nullptr);
    constexpr int kSeconds = 6;
    std::vector<std::wstring> theirs;
    for (std::time_t t = now; t < now + kSeconds; ++t) {
        theirs.push_back(frameNameFor(t) + L".bmp");
        TestEnvironment::writeFileBytes(folder + L"\\" + theirs.back(), "another program's");
    }
    constexpr std::size_t kCaptures = 4;
    for (std::size_t i = 0; i < kCaptures; ++i)
        app.OnCaptureRequest(CaptureFullScreen, 0);
    ASSERT_LT(std::time(nullptr), now + kSeconds);

    ASSERT_EQ(log.size(), kCaptures);
    std::set<std::wstring> ours;
    std::set<std::wstring> seconds;
    for (const PutCall& call : log) {
        const std::wstring file = call.fileStem + L".bmp";
        ours.insert(file);
        seconds.insert(call.name);
        EXPECT_EQ(TestEnvironment::readFileBytes(folder + L"\\" + file).size(),
                  138u + call.stride * static_cast<std::size_t>(call.height));
    }
    EXPECT_EQ(ours.size(), kCaptures);
    EXPECT_LT(seconds.size(), kCaptures) << "no two captures shared a second";
    for (const std::wstring& file : theirs)
        EXPECT_EQ(TestEnvironment::readFileBytes(folder + L"\\" + file), "another program's");
    EXPECT_EQ(TestEnvironment::filesIn(folder).size(), theirs.size() + kCaptures);
    TestEnvironment::removeTree(folder);
}

TEST_F(CaptureDispatchTest, CaptureRequestThroughTheMessagePumpReachesTheDispatch) {
    bool markerSeen = false;
    ThreadHandlerScope handler([&](const MSG& msg) {
        if (msg.message == kMarker)
            markerSeen = true;
        app.handleThreadMessage(msg);
    });
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_APP + 41, CaptureFullScreen, 0);
    ::PostThreadMessageW(::GetCurrentThreadId(), WM_CAPTURE_REQUEST, CaptureFullScreen, 0);
    ASSERT_TRUE(pumpUntilMarker(markerSeen));
    ASSERT_EQ(outputsCalled(log), std::vector<std::string>{"ftp"});
    EXPECT_EQ(log[0].width, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
}

} // namespace
