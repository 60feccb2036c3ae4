#include "capture/FrameCut.h"
#include "capture/OverlayLayout.h"
#include "capture/SelectionGesture.h"
#include "capture/SnapTargets.h"

#include <gtest/gtest.h>

namespace {

using namespace OverlayLayout;
using Taken = std::optional<SelectionRect>;

const SelectionRect kScreen{0, 0, 1920, 1080};

// A desktop: a window at the front with a toolbar holding a button, a window behind it.
SnapTargets desktop() {
    SnapTargets targets;
    targets.add({100, 100, 900, 700}, 0);
    targets.add({100, 100, 900, 140}, 1); // toolbar
    targets.add({110, 105, 150, 135}, 2); // its button
    targets.add({100, 140, 900, 700}, 1); // client area, behind the toolbar
    targets.add({50, 50, 1500, 1000}, 0); // the window behind
    targets.add({120, 600, 300, 650}, 1); // its child, hidden under the front window
    return targets;
}

TEST(RegionGeometryTest, ClickTakesTheInnermostFrontMostWindow) {
    const SnapTargets targets = desktop();
    EXPECT_EQ(targets.innermostAt({120, 120}), (SelectionRect{110, 105, 150, 135}));
    EXPECT_EQ(targets.innermostAt({500, 120}), (SelectionRect{100, 100, 900, 140}));
    EXPECT_EQ(targets.innermostAt({500, 500}), (SelectionRect{100, 140, 900, 700}));
    // Under the front window, the back window's child is not taken.
    EXPECT_EQ(targets.innermostAt({200, 620}), (SelectionRect{100, 140, 900, 700}));
    EXPECT_EQ(targets.innermostAt({1000, 900}), (SelectionRect{50, 50, 1500, 1000}));
    EXPECT_TRUE(targets.innermostAt({1600, 1050}).empty());
}

TEST(RegionGeometryTest, PressAndReleaseWithinThreePixelsIsAClickBeyondIsADrag) {
    const SnapTargets targets = desktop();
    SelectionGesture gesture(targets);
    gesture.moveTo({500, 500});
    EXPECT_EQ(gesture.outline(), (SelectionRect{100, 140, 900, 700}));
    gesture.press({500, 500});
    gesture.moveTo({503, 497});
    EXPECT_FALSE(gesture.dragging());
    EXPECT_EQ(gesture.release({503, 497}), Taken(SelectionRect{100, 140, 900, 700}));

    gesture.press({500, 500});
    gesture.moveTo({504, 500});
    EXPECT_TRUE(gesture.dragging());
    // Back near the press, still a drag: the rectangle between press and release.
    EXPECT_EQ(gesture.release({400, 420}), Taken(SelectionRect{400, 420, 500, 500}));

    gesture.press({10, 20});
    gesture.moveTo({200, 20});
    EXPECT_EQ(gesture.release({200, 20}), Taken()) << "no height";
    gesture.press({1600, 1050});
    EXPECT_EQ(gesture.release({1600, 1050}), Taken()) << "the bare desktop";
    EXPECT_EQ(gesture.release({300, 300}), Taken()) << "a release without a press";
}

TEST(RegionGeometryTest, MagnifierAndLabelStayOnTheScreen) {
    EXPECT_EQ(magnifierBox({400, 300}, kScreen),
              (SelectionRect{420, 320, 420 + kMagnifierWidth, 320 + kMagnifierHeight}));
    // Near the right and bottom edges it goes to the other side of the pointer.
    EXPECT_EQ(magnifierBox({1900, 1070}, kScreen),
              (SelectionRect{1880 - kMagnifierWidth, 1050 - kMagnifierHeight, 1880, 1050}));
    // On a virtual screen left of and above the primary monitor, in its own coordinates.
    const SelectionRect wide{-1280, -200, 1920, 1080};
    EXPECT_EQ(magnifierBox({-1275, -195}, wide).left, -1255);
    EXPECT_EQ(magnifierBox({1915, -195}, wide).right, 1895);

    EXPECT_EQ(sizeLabelBox({100, 200, 400, 300}, 60, 20, kScreen),
              (SelectionRect{100, 176, 160, 196}));
    // No room above: inside the outline; none right of the corner: pushed back onto the screen.
    EXPECT_EQ(sizeLabelBox({1900, 5, 1915, 40}, 60, 20, kScreen),
              (SelectionRect{1860, 9, 1920, 29}));
    EXPECT_EQ(sizeText(35, 21), L"35 \u00d7 21");
    EXPECT_EQ(pointText({-1280, 7}), L"-1280, 7");
    EXPECT_EQ(colourText(0xAB, 0x05, 0xFF), L"#AB05FF");
}

TEST(RegionGeometryTest, ClickOnAWindowOfAMonitorLeftOfAndAboveThePrimaryOne) {
    // The virtual screen starts at (-1280, -200); the snapshot's pixel (0, 0) is that corner.
    const SelectionPoint origin{-1280, -200};
    SnapTargets targets;
    targets.add(screenRectInSnapshot({-1000, -100, 100, 300}, origin), 0);
    SelectionGesture gesture(targets);
    gesture.press({300, 150});
    EXPECT_EQ(gesture.release({301, 151}), Taken(SelectionRect{280, 100, 1380, 500}));
    EXPECT_EQ(pointText(snapshotPixelOnScreen({300, 150}, origin)), L"-980, -50");
}

TEST(RegionGeometryTest, ArrowKeysMoveByOneOrTenAndStopAtTheEdge) {
    const SelectionPoint p = movedByKey({100, 200}, 1, 0, true, kScreen);
    EXPECT_EQ(p.x, 110);
    EXPECT_EQ(p.y, 200);
    const SelectionPoint q = movedByKey({3, 1075}, -1, 1, true, kScreen);
    EXPECT_EQ(q.x, 0);
    EXPECT_EQ(q.y, 1079);
    EXPECT_EQ(movedByKey({5, 5}, 0, -1, false, kScreen).y, 4);
}

// A 7 x 5 frame whose pixel (x, y) is blue x, green y, red 200.
FramePtr numberedFrame() {
    FramePtr frame = makeEmptyFrame();
    frame->allocate(7, 5);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            unsigned char* p = frame->pixels.get() + (4 - y) * frame->stride() + x * 3;
            p[0] = static_cast<unsigned char>(x);
            p[1] = static_cast<unsigned char>(y);
            p[2] = 200;
        }
    return frame;
}

TEST(RegionGeometryTest, CutCopiesTheRowsOfTheRectangleAndPadsWithZeros) {
    const FramePtr frame = numberedFrame();
    const FramePtr cut = cutFrame(*frame, {2, 1, 5, 4});
    ASSERT_EQ(cut->width, 3);
    ASSERT_EQ(cut->height, 3);
    for (int y = 0; y < 3; ++y) {
        const unsigned char* row = cut->pixels.get() + (2 - y) * cut->stride();
        for (int x = 0; x < 3; ++x) {
            EXPECT_EQ(row[x * 3], 2 + x);
            EXPECT_EQ(row[x * 3 + 1], 1 + y);
            EXPECT_EQ(row[x * 3 + 2], 200);
        }
        for (std::size_t pad = 9; pad < cut->stride(); ++pad)
            EXPECT_EQ(row[pad], 0);
    }
    // Off the frame nothing is invented; an empty rectangle gives an empty frame.
    const FramePtr edge = cutFrame(*frame, {5, 3, 20, 20});
    EXPECT_EQ(edge->width, 2);
    EXPECT_EQ(edge->height, 2);
    EXPECT_EQ(cutFrame(*frame, {3, 3, 3, 9})->pixels, nullptr);

    // The magnifier shows the same pixels, black past the frame's corner.
    const MagnifiedPixels square = magnifiedPixels(*frame, {0, 0});
    const std::size_t stride = cFrame::strideFor(kMagnifiedSide);
    const unsigned char* centre = square.data() + (kMagnifiedSide - 1 - 7) * stride + 7 * 3;
    EXPECT_EQ(centre[2], 200);
    EXPECT_EQ(centre[3 + 0], 1);  // the next pixel to the right: x 1
    EXPECT_EQ(centre[-3 + 2], 0); // left of the frame: black
}

} // namespace
