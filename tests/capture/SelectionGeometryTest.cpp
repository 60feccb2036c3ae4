#include "capture/SelectionGeometry.h"

#include <gtest/gtest.h>

namespace {

void expectRect(const SelectionRect& rect, int left, int top, int right, int bottom) {
    EXPECT_EQ(rect.left, left);
    EXPECT_EQ(rect.top, top);
    EXPECT_EQ(rect.right, right);
    EXPECT_EQ(rect.bottom, bottom);
}

TEST(SelectionGeometryTest, DragInEveryDirectionGivesTheSameRectangle) {
    expectRect(normalisedRect({100, 200}, {400, 300}), 100, 200, 400, 300);
    expectRect(normalisedRect({400, 300}, {100, 200}), 100, 200, 400, 300);
    expectRect(normalisedRect({400, 200}, {100, 300}), 100, 200, 400, 300);
    expectRect(normalisedRect({100, 300}, {400, 200}), 100, 200, 400, 300);
}

TEST(SelectionGeometryTest, ZeroWidthOrHeightIsEmpty) {
    EXPECT_TRUE(normalisedRect({5, 5}, {5, 5}).empty());
    EXPECT_TRUE(normalisedRect({5, 5}, {5, 105}).empty());
    EXPECT_TRUE(normalisedRect({5, 5}, {105, 5}).empty());
    EXPECT_FALSE(normalisedRect({5, 5}, {6, 105}).empty());
}

TEST(SelectionGeometryTest, SnapshotPixelsSitOnTheVirtualScreenNotOnThePrimaryMonitor) {
    // A 1280 x 1024 monitor left of the primary one and 200 pixels higher: the virtual screen, the
    // window and its snapshot all start at (-1280, -200).
    const SelectionPoint origin{-1280, -200};
    SelectionPoint first = snapshotPixelOnScreen({0, 0}, origin);
    EXPECT_EQ(first.x, -1280);
    EXPECT_EQ(first.y, -200);
    // A drag at client (100, 200)-(400, 300) covers the left monitor's pixels there.
    SelectionPoint topLeft = snapshotPixelOnScreen({100, 200}, origin);
    SelectionPoint bottomRight = snapshotPixelOnScreen({400, 300}, origin);
    EXPECT_EQ(topLeft.x, -1180);
    EXPECT_EQ(topLeft.y, 0);
    EXPECT_EQ(bottomRight.x, -880);
    EXPECT_EQ(bottomRight.y, 100);
    // The primary monitor's origin is client (1280, 200).
    SelectionPoint primary = snapshotPixelOnScreen({1280, 200}, origin);
    EXPECT_EQ(primary.x, 0);
    EXPECT_EQ(primary.y, 0);
    // A single monitor: client, snapshot and screen coincide.
    SelectionPoint same = snapshotPixelOnScreen({100, 200}, {0, 0});
    EXPECT_EQ(same.x, 100);
    EXPECT_EQ(same.y, 200);
}

} // namespace
