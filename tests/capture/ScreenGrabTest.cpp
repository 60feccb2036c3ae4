#include "capture/ScreenGrab.h"
#include "platform/ResourceException.h"
#include "support/PaintedWindow.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using TestImages::framePixel;

// Colours as COLORREF; the frame holds them as blue, green, red.
constexpr COLORREF kTopLeft = RGB(220, 20, 30);
constexpr COLORREF kTopRight = RGB(10, 200, 40);
constexpr COLORREF kBottomLeft = RGB(30, 60, 210);
constexpr COLORREF kBottomRight = RGB(0x12, 0x34, 0x56);
constexpr COLORREF kBottomRow = RGB(250, 240, 5);
constexpr COLORREF kLeftColumn = RGB(200, 0, 200);

// The window at (200, 150), 401 x 301: four quadrants, a one-pixel bottom row and left column of
// their own colours, so row order and column order both show.
const RECT kWindowRect{200, 150, 601, 451};

void paintKnownContent(HDC dc, int width, int height) {
    PaintedWindow::fill(dc, RECT{0, 0, width / 2, height / 2}, kTopLeft);
    PaintedWindow::fill(dc, RECT{width / 2, 0, width, height / 2}, kTopRight);
    PaintedWindow::fill(dc, RECT{0, height / 2, width / 2, height}, kBottomLeft);
    PaintedWindow::fill(dc, RECT{width / 2, height / 2, width, height}, kBottomRight);
    PaintedWindow::fill(dc, RECT{0, height - 1, width, height}, kBottomRow);
    PaintedWindow::fill(dc, RECT{0, 0, 1, height - 1}, kLeftColumn);
}

class ScreenGrabTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { window = new PaintedWindow(kWindowRect, paintKnownContent); }
    static void TearDownTestSuite() {
        delete window;
        window = nullptr;
    }
    static PaintedWindow* window;
};
PaintedWindow* ScreenGrabTest::window = nullptr;

TEST_F(ScreenGrabTest, FullScreenIsTheWholeVirtualScreen) {
    FramePtr frame = grabFullScreen();
    ASSERT_EQ(frame->width, 1920);
    ASSERT_EQ(frame->height, 1080);
    EXPECT_EQ(frame->stride(), 5760u);
    EXPECT_EQ(frame->bufferSize(), 6220800u);
    EXPECT_TRUE(frame->name.empty());
    EXPECT_EQ(framePixel(*frame, 200 + 10, 150 + 10), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 600 - 10, 450 - 10), kBottomRight);
    EXPECT_EQ(framePixel(*frame, 300, 450), kBottomRow);
    EXPECT_EQ(framePixel(*frame, 200, 300), kLeftColumn);
}

TEST_F(ScreenGrabTest, WindowGrabHasTheWindowsPixelsTopToBottom) {
    FramePtr frame = grabWindow(window->hwnd());
    ASSERT_EQ(frame->width, 401);
    ASSERT_EQ(frame->height, 301);
    EXPECT_EQ(frame->stride(), 1204u);
    EXPECT_EQ(framePixel(*frame, 5, 5), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 0, 0), kLeftColumn);
    EXPECT_EQ(framePixel(*frame, 1, 0), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 199, 149), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 201, 10), kTopRight);
    EXPECT_EQ(framePixel(*frame, 10, 160), kBottomLeft);
    EXPECT_EQ(framePixel(*frame, 400, 299), kBottomRight);
    for (int x = 0; x < 401; x += 40)
        EXPECT_EQ(framePixel(*frame, x, 300), kBottomRow) << "x " << x;
    // Bytes in blue, green, red order, and the bottom row is the first row of the buffer.
    const unsigned char* first = frame->pixels.get();
    EXPECT_EQ(first[0], 5);
    EXPECT_EQ(first[1], 240);
    EXPECT_EQ(first[2], 250);
}

TEST_F(ScreenGrabTest, RectGrabTakesExactlyTheRectangle) {
    // Straddles the window's corner: one column and one row outside it.
    FramePtr frame = grabRect(RECT{599, 449, 605, 455});
    ASSERT_EQ(frame->width, 6);
    ASSERT_EQ(frame->height, 6);
    EXPECT_EQ(frame->stride(), 20u);
    EXPECT_EQ(framePixel(*frame, 0, 0), kBottomRight);
    EXPECT_EQ(framePixel(*frame, 1, 0), kBottomRight);
    EXPECT_EQ(framePixel(*frame, 0, 1), kBottomRow);
    EXPECT_EQ(framePixel(*frame, 1, 1), kBottomRow);
    EXPECT_NE(framePixel(*frame, 2, 0), kBottomRight);
    EXPECT_NE(framePixel(*frame, 0, 2), kBottomRow);
}

TEST_F(ScreenGrabTest, OddWidthRowsArePaddedAndStillLineUp) {
    FramePtr frame = grabRect(RECT{200, 150, 205, 160});
    ASSERT_EQ(frame->width, 5);
    EXPECT_EQ(frame->stride(), 16u);
    for (int y = 0; y < 10; ++y) {
        EXPECT_EQ(framePixel(*frame, 0, y), kLeftColumn) << "y " << y;
        EXPECT_EQ(framePixel(*frame, 4, y), kTopLeft) << "y " << y;
    }
}

TEST_F(ScreenGrabTest, CoveringWindowShowsInTheGrab) {
    PaintedWindow cover(RECT{250, 200, 300, 250}, [](HDC dc, int w, int h) {
        PaintedWindow::fill(dc, {0, 0, w, h}, RGB(1, 2, 3));
    });
    FramePtr frame = grabWindow(window->hwnd());
    EXPECT_EQ(framePixel(*frame, 60, 60), RGB(1, 2, 3));
    EXPECT_EQ(framePixel(*frame, 20, 20), kTopLeft);
}

TEST_F(ScreenGrabTest, ZeroWidthOrHeightGivesAnEmptyFrame) {
    for (RECT rect : {RECT{100, 100, 100, 300}, RECT{100, 100, 300, 100}, RECT{5, 5, 5, 5}}) {
        FramePtr frame = grabRect(rect);
        EXPECT_EQ(frame->pixels, nullptr);
        EXPECT_EQ(frame->width, 0);
        EXPECT_EQ(frame->height, 0);
    }
}

// The frame holds exactly what the screen shows from the window's top-left corner on.
void expectScreenPixels(const cFrame& frame, const RECT& onScreen) {
    const FramePtr screen = grabRect(onScreen);
    ASSERT_EQ(frame.width, onScreen.right - onScreen.left);
    ASSERT_EQ(frame.height, onScreen.bottom - onScreen.top);
    ASSERT_EQ(std::memcmp(frame.pixels.get(), screen->pixels.get(), frame.bufferSize()), 0);
}

TEST_F(ScreenGrabTest, WindowPartlyOffTheScreenGivesOnlyItsOnScreenPart) {
    PaintedWindow moved(RECT{700, 600, 1100, 900}, paintKnownContent);
    ::SetWindowPos(moved.hwnd(), nullptr, -150, 600, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessagesFor(300);
    FramePtr frame = grabWindow(moved.hwnd());
    expectScreenPixels(*frame, RECT{0, 600, 250, 900});
    // The left column is off the screen; the quadrants split at the window's x 200.
    EXPECT_EQ(framePixel(*frame, 0, 0), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 49, 10), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 50, 10), kTopRight);

    ::SetWindowPos(moved.hwnd(), nullptr, 1700, 900, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessagesFor(300);
    frame = grabWindow(moved.hwnd());
    expectScreenPixels(*frame, RECT{1700, 900, 1920, 1080});
    EXPECT_EQ(framePixel(*frame, 199, 149), kTopLeft);
    EXPECT_EQ(framePixel(*frame, 219, 179), kBottomRight);

    ::SetWindowPos(moved.hwnd(), nullptr, 1920, 200, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    pumpMessagesFor(100);
    EXPECT_THROW(grabWindow(moved.hwnd()), ResourceException);
}

TEST_F(ScreenGrabTest, NullWindowRaisesTheResourceExceptionAndLeaksNothing) {
    const DWORD gdiBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    EXPECT_THROW(grabWindow(nullptr), ResourceException);
    for (int i = 0; i < 20; ++i)
        grabRect(RECT{0, 0, 64, 64});
    EXPECT_EQ(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), gdiBefore);
}

} // namespace
