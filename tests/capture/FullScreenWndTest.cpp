#include "capture/FrameCut.h"
#include "capture/OverlayLayout.h"
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

    // Runs the selection window on a frozen frame of the screen while the script plays, and cuts
    // what it selected from that frame, as a region capture does.
    FramePtr select(bool magnifier = true) {
        const FramePtr frozen = grabFullScreen();
        script.start();
        cFullScreenWnd window(*frozen, {0, 0}, magnifier);
        const std::optional<SelectionRect> selected = window.runSelection();
        magnifierShown = window.magnifierShown();
        EXPECT_EQ(window.hwnd(), nullptr);
        EXPECT_TRUE(script.finished()) << script.failure();
        return selected ? cutFrame(*frozen, *selected) : makeEmptyFrame();
    }

    static void expectEmpty(const cFrame& frame) {
        EXPECT_EQ(frame.pixels, nullptr);
        EXPECT_EQ(frame.width, 0);
        EXPECT_EQ(frame.height, 0);
    }

    FramePtr reference;
    bool magnifierShown = true;
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
    // The magnifier below right of the pointer shows the pixels around it eight times enlarged:
    // the framed centre cell is the pointer's pixel, the cell right of it the next one.
    const SelectionRect box = OverlayLayout::magnifierBox({400, 300}, {0, 0, 1920, 1080});
    const int cellX = box.left + 1 + 7 * OverlayLayout::kZoom + 4;
    const int cellY = box.top + 1 + 7 * OverlayLayout::kZoom + 4;
    EXPECT_EQ(framePixel(*midDrag, cellX, cellY), framePixel(*reference, 400, 300));
    EXPECT_EQ(framePixel(*midDrag, cellX + 8, cellY), framePixel(*reference, 401, 300));
    EXPECT_EQ(framePixel(*midDrag, cellX - 16, cellY + 8), framePixel(*reference, 398, 301));
    // The size label stands above the outline's top-left corner on a dark panel.
    EXPECT_EQ(framePixel(*midDrag, 101, 195), RGB(32, 32, 32));
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
    // The magnifier and the size label then stand inside the selection: the frame has neither.
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

TEST_F(FullScreenWndTest, ClickTakesTheInnermostWindowUnderThePointer) {
    // A child window inside the pattern window: a click on it takes the child, a click beside it
    // the whole pattern window, a press and release 2 pixels apart is still a click.
    HWND child = ::CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_BLACKRECT, 100,
                                   100, 200, 80, pattern->hwnd(), nullptr, nullptr, nullptr);
    ASSERT_NE(child, nullptr);
    struct Destroy {
        HWND window;
        ~Destroy() { ::DestroyWindow(window); }
    } destroyChild{child};
    RECT childRect{};
    ::GetWindowRect(child, &childRect);
    ASSERT_TRUE(pumpUntil([] {
        return framePixel(*grabRect(RECT{200, 300, 201, 301}), 0, 0) !=
               patternColour(200 - kPatternRect.left, 300 - kPatternRect.top);
    }));
    reference = grabFullScreen();
    drag(200, 300, 202, 301);
    FramePtr onChild = select();
    // The child repaints where the first window's outline was before the screen is frozen again.
    const COLORREF corner = framePixel(*reference, childRect.left, childRect.top);
    ASSERT_TRUE(pumpUntil([&] {
        return framePixel(*grabRect(RECT{childRect.left, childRect.top, childRect.left + 1,
                                         childRect.top + 1}),
                          0, 0) == corner;
    }));
    drag(600, 500, 600, 500);
    FramePtr onWindow = select();

    ASSERT_EQ(onChild->width, 200);
    ASSERT_EQ(onChild->height, 80);
    EXPECT_EQ(differenceFrom(*onChild, *reference, childRect.left, childRect.top), "");
    ASSERT_EQ(onWindow->width, kPatternRect.right - kPatternRect.left);
    ASSERT_EQ(onWindow->height, kPatternRect.bottom - kPatternRect.top);
    EXPECT_EQ(differenceFrom(*onWindow, *reference, kPatternRect.left, kPatternRect.top), "");
}

TEST_F(FullScreenWndTest, ArrowKeysAndTwoEntersSelectPixelExactly) {
    // From (100, 200): Shift+Right three times and Right five times is 35 pixels, Shift+Down twice
    // and Down once 21. "M" hides the magnifier first.
    FramePtr shown;
    auto presses = [&](WORD key, int count, bool shift) {
        for (int i = 0; i < count; ++i)
            script.then([&, key, shift] {
                script.press(shift ? std::initializer_list<WORD>{VK_SHIFT, key}
                                   : std::initializer_list<WORD>{key});
            });
    };
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] { script.moveTo(100, 200); })
        .then([&] { script.press({'M'}); })
        .then([&] { script.press({VK_RETURN}); });
    presses(VK_RIGHT, 3, true);
    presses(VK_RIGHT, 5, false);
    presses(VK_DOWN, 2, true);
    presses(VK_DOWN, 1, false);
    script.then([&] {
        POINT at{};
        ::GetCursorPos(&at);
        EXPECT_EQ(at.x, 135);
        EXPECT_EQ(at.y, 221);
        shown = grabFullScreen();
    });
    script.then([&] { script.press({VK_RETURN}); });
    FramePtr frame = select();
    EXPECT_FALSE(magnifierShown);
    ASSERT_EQ(frame->width, 35);
    ASSERT_EQ(frame->height, 21);
    EXPECT_EQ(differenceFrom(*frame, *reference, 100, 200), "");
    // No magnifier where it would stand.
    ASSERT_TRUE(shown);
    EXPECT_EQ(framePixel(*shown, 135 + 80, 221 + 80), framePixel(*reference, 215, 301));
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

TEST_F(FullScreenWndTest, LosingFocusDoesNotEndTheSelection) {
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
        });
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
