#include "capture/ScreenGrab.h"
#include "capture/cFullScreenWnd.h"
#include "support/InputScript.h"
#include "support/PaintedWindow.h"
#include "support/SelectionTestKit.h"
#include "support/TestEnvironment.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

using namespace SelectionTestKit;
using TestImages::framePixel;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);

class FullScreenWndTest : public PatternScreenTest {
protected:
    void SetUp() override {
        PatternScreenTest::SetUp();
        reference = grabFullScreen();
    }

    // Runs the selection window on an empty frame while the script plays.
    FramePtr select() {
        FramePtr frame = makeEmptyFrame();
        script.start();
        cFullScreenWnd window;
        window.targetFrame = frame.get();
        window.selectionRect = RECT{};
        window.runSelection();
        EXPECT_EQ(window.hwnd(), nullptr);
        EXPECT_TRUE(script.finished()) << script.failure();
        return frame;
    }

    static void expectEmpty(const cFrame& frame) {
        EXPECT_EQ(frame.pixels, nullptr);
        EXPECT_EQ(frame.width, 0);
        EXPECT_EQ(frame.height, 0);
    }

    FramePtr reference;
};

TEST_F(FullScreenWndTest, DragCopiesTheSnapshotUnderTheRectangle) {
    const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    FramePtr midDrag;
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([] {
            HWND window = shownSelectionWindow();
            RECT rect;
            ::GetWindowRect(window, &rect);
            EXPECT_EQ(rect.left, ::GetSystemMetrics(SM_XVIRTUALSCREEN));
            EXPECT_EQ(rect.top, ::GetSystemMetrics(SM_YVIRTUALSCREEN));
            EXPECT_EQ(rect.right - rect.left, ::GetSystemMetrics(SM_CXVIRTUALSCREEN));
            EXPECT_EQ(rect.bottom - rect.top, ::GetSystemMetrics(SM_CYVIRTUALSCREEN));
            EXPECT_TRUE(::GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
            EXPECT_EQ(::GetClassLongPtrW(window, GCLP_HCURSOR),
                      reinterpret_cast<ULONG_PTR>(::LoadCursorW(nullptr, IDC_CROSS)));
            EXPECT_EQ(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND), 0u);
            EXPECT_EQ(::GetClassLongW(window, GCL_STYLE), static_cast<DWORD>(CS_DBLCLKS));
        })
        .then([&] { script.moveTo(100, 200); })
        .then([&] { script.leftDown(); })
        .then([&] { script.moveTo(400, 300); })
        .waitFor(
            [&] {
                // The outline is on the screen once a dash of the left edge shows red.
                midDrag = grabFullScreen();
                for (int y = 200; y <= 300; ++y)
                    if (framePixel(*midDrag, 100, y) == kRed)
                        return true;
                return false;
            },
            "the outline on the screen")
        .then([&] { script.leftUp(); });
    FramePtr frame = select();

    ASSERT_EQ(frame->width, 300);
    ASSERT_EQ(frame->height, 100);
    EXPECT_EQ(frame->stride(), 900u);
    EXPECT_TRUE(frame->name.empty());
    EXPECT_EQ(differenceFrom(*frame, *reference, 100, 200), "");

    ASSERT_TRUE(midDrag && midDrag->pixels);
    SelectionTestKit::saveBitmap(*midDrag,
                                 TestEnvironment::artifactDir() + L"\\selection-mid-drag.bmp");
    // The outline is dashed and red on all four edges; inside and outside, the snapshot shows
    // unchanged.
    int red = 0;
    int gaps = 0;
    for (int y = 201; y < 300; ++y)
        (framePixel(*midDrag, 100, y) == kRed ? red : gaps) += 1;
    EXPECT_GT(red, 10);
    EXPECT_GT(gaps, 5);
    auto anyRed = [&](int x0, int y0, int dx, int dy, int n) {
        for (int i = 0; i < n; ++i)
            if (framePixel(*midDrag, x0 + i * dx, y0 + i * dy) == kRed)
                return true;
        return false;
    };
    EXPECT_TRUE(anyRed(101, 300, 1, 0, 298)) << "bottom edge";
    EXPECT_TRUE(anyRed(400, 201, 0, 1, 98)) << "right edge";
    EXPECT_TRUE(anyRed(101, 200, 1, 0, 298)) << "top edge";
    for (POINT p : {POINT{250, 250}, POINT{101, 201}, POINT{399, 299}, POINT{99, 250},
                    POINT{250, 199}, POINT{401, 250}, POINT{250, 301}})
        EXPECT_EQ(framePixel(*midDrag, p.x, p.y), framePixel(*reference, p.x, p.y))
            << p.x << ", " << p.y;

    frame.reset();
    midDrag.reset();
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
}

TEST_F(FullScreenWndTest, DragFromBottomRightToTopLeftGivesTheSameFrame) {
    drag(400, 300, 100, 200);
    FramePtr frame = select();
    ASSERT_EQ(frame->width, 300);
    ASSERT_EQ(frame->height, 100);
    EXPECT_EQ(differenceFrom(*frame, *reference, 100, 200), "");
}

TEST_F(FullScreenWndTest, OnePixelWideDragHasRowsOfFourBytes) {
    drag(200, 200, 201, 300);
    FramePtr frame = select();
    ASSERT_EQ(frame->width, 1);
    ASSERT_EQ(frame->height, 100);
    EXPECT_EQ(frame->stride(), 4u);
    EXPECT_EQ(differenceFrom(*frame, *reference, 200, 200), "");
}

TEST_F(FullScreenWndTest, ClickWithoutMovingCapturesNothing) {
    drag(300, 300, 300, 300);
    FramePtr frame = select();
    expectEmpty(*frame);
}

TEST_F(FullScreenWndTest, ZeroWidthDragCapturesNothing) {
    drag(300, 200, 300, 400);
    FramePtr frame = select();
    expectEmpty(*frame);
}

TEST_F(FullScreenWndTest, EscapeBeforeADragCapturesNothing) {
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] {
            script.keyDown(VK_ESCAPE);
            script.keyUp(VK_ESCAPE);
        });
    FramePtr frame = select();
    expectEmpty(*frame);
}

TEST_F(FullScreenWndTest, EscapeDuringADragCapturesNothing) {
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] { script.moveTo(100, 200); })
        .then([&] { script.leftDown(); })
        .then([&] { script.moveTo(400, 300); })
        .then([&] {
            script.keyDown(VK_ESCAPE);
            script.keyUp(VK_ESCAPE);
        });
    // The button is still down when the window closes; the script releases it at its end.
    FramePtr frame = select();
    expectEmpty(*frame);
}

TEST_F(FullScreenWndTest, ReleaseWithoutAPressEndsTheSelection) {
    // The press lands on the pattern window before the selection window opens.
    script.moveTo(300, 300);
    script.leftDown();
    ASSERT_TRUE(pumpUntil([] { return ::GetKeyState(VK_LBUTTON) < 0; }));
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] { script.leftUp(); });
    FramePtr frame = select();
    expectEmpty(*frame);
}

TEST_F(FullScreenWndTest, LosingFocusAndTheRightButtonDoNotEndTheSelection) {
    PaintedWindow other(RECT{1500, 900, 1600, 1000}, [](HDC dc, int w, int h) {
        PaintedWindow::fill(dc, RECT{0, 0, w, h}, RGB(0, 90, 0));
    });
    HWND selection = nullptr;
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] {
            selection = shownSelectionWindow();
            ::SetForegroundWindow(other.hwnd());
        })
        .then([&] {
            EXPECT_NE(::GetFocus(), selection);
            EXPECT_EQ(shownSelectionWindow(), selection);
            script.moveTo(250, 250);
        })
        .then([&] { script.rightDown(); })
        .then([&] { script.moveTo(350, 280); })
        .then([&] { script.rightUp(); })
        .then([&] { EXPECT_EQ(shownSelectionWindow(), selection); });
    drag(120, 210, 220, 260);
    FramePtr frame = select();
    ASSERT_EQ(frame->width, 100);
    ASSERT_EQ(frame->height, 50);
    EXPECT_EQ(differenceFrom(*frame, *reference, 120, 210), "");
}

TEST_F(FullScreenWndTest, ContentChangedAfterOpeningIsNotInTheFrame) {
    PaintedWindow cover(RECT{150, 220, 250, 280}, [](HDC dc, int w, int h) {
        PaintedWindow::fill(dc, RECT{0, 0, w, h}, RGB(10, 200, 10));
    });
    ::ShowWindow(cover.hwnd(), SW_HIDE);
    ASSERT_TRUE(pumpUntil([] {
        return framePixel(*grabRect(RECT{200, 250, 201, 251}), 0, 0) ==
               patternColour(200 - kPatternRect.left, 250 - kPatternRect.top);
    }));
    reference = grabFullScreen();
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] {
            ::SetWindowPos(cover.hwnd(), HWND_TOPMOST, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        })
        .waitFor(
            [] {
                // The live screen now shows the cover over the selection window.
                return framePixel(*grabRect(RECT{200, 250, 201, 251}), 0, 0) == RGB(10, 200, 10);
            },
            "the cover on the screen");
    drag(100, 200, 400, 300);
    FramePtr frame = select();
    ASSERT_EQ(frame->width, 300);
    ASSERT_EQ(frame->height, 100);
    EXPECT_EQ(differenceFrom(*frame, *reference, 100, 200), "");
}

} // namespace
