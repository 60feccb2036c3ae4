#include "capture/ScreenGrab.h"
#include "capture/cFullScreenWnd.h"
#include "support/InputScript.h"
#include "support/PaintedWindow.h"
#include "support/SelectionTestKit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

using namespace SelectionTestKit;

namespace {

// The size of the one buffer request that is to fail; 0 lets every request through.
std::size_t failingBufferSize = 0;

} // namespace

// Frame buffers come from the non-throwing array allocation; this program lets one of them fail.
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    if (failingBufferSize != 0 && size == failingBufferSize) {
        failingBufferSize = 0;
        return nullptr;
    }
    return std::malloc(size ? size : 1);
}

namespace {

BOOL CALLBACK closeDialog(HWND window, LPARAM found) {
    wchar_t name[16] = {};
    ::GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770") {
        *reinterpret_cast<bool*>(found) = true;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

TEST(SelectionMemoryTest, BufferThatCannotBeHadLeavesTheFrameEmptyAndTheWindowOpen) {
    PaintedWindow pattern(kPatternRect, paintPattern);
    const FramePtr reference = grabFullScreen();

    FramePtr frame = makeEmptyFrame();
    frame->allocate(10, 10);
    InputScript script;
    script.onTimeout = endSelectionWindow;
    HWND selection = nullptr;
    script.waitFor([] { return shownSelectionWindow() != nullptr; }, "the selection window")
        .then([&] { selection = shownSelectionWindow(); })
        .then([&] { script.moveTo(100, 200); })
        .then([&] { script.leftDown(); })
        .then([&] { script.moveTo(400, 300); })
        .then([&] {
            failingBufferSize = cFrame::strideFor(300) * 100;
            script.leftUp();
        })
        .then([&] {
            EXPECT_EQ(failingBufferSize, 0u) << "the frame's buffer was not asked for";
            bool dialog = false;
            ::EnumThreadWindows(::GetCurrentThreadId(), closeDialog,
                                reinterpret_cast<LPARAM>(&dialog));
            EXPECT_FALSE(dialog) << "a message box came up";
            EXPECT_EQ(shownSelectionWindow(), selection);
            EXPECT_EQ(frame->pixels, nullptr);
            EXPECT_EQ(frame->width, 0);
            EXPECT_EQ(frame->height, 0);
        });
    // The user drags again, and this time the frame is filled.
    dragSelection(script, 150, 220, 250, 270);
    script.start();
    cFullScreenWnd window;
    window.targetFrame = frame.get();
    window.selectionRect = RECT{};
    window.runSelection();
    failingBufferSize = 0;

    EXPECT_TRUE(script.finished()) << script.failure();
    ASSERT_EQ(frame->width, 100);
    ASSERT_EQ(frame->height, 50);
    EXPECT_EQ(differenceFrom(*frame, *reference, 150, 220), "");
}

} // namespace
