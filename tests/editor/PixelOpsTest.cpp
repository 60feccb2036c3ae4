#include "editor/PixelOps.h"
#include "editor/EditTestImages.h"

#include <gtest/gtest.h>

#include <set>
#include <tuple>

namespace {

const stEditRect kArea{30, 20, 97, 71}; // 67 x 51: blocks do not divide it evenly

TEST(Pixelate, ChangingTheAreaChangesNoOutputPixel) {
    stEditImage a = noiseImage(140, 100, 1);
    stEditImage b = a;
    const stEditImage other = noiseImage(140, 100, 99);
    for (int y = kArea.top; y < kArea.bottom; ++y)
        for (int x = kArea.left; x < kArea.right; ++x)
            b.setPixel(x, y, other.pixel(x, y));
    ASSERT_FALSE(a.bytes == b.bytes);
    pixelate(a, kArea, 12);
    pixelate(b, kArea, 12);
    EXPECT_TRUE(a.bytes == b.bytes);
}

TEST(Pixelate, ChangingTheRingChangesTheBlocks) {
    stEditImage a = noiseImage(140, 100, 1);
    stEditImage b = a;
    b.setPixel(kArea.left + 3, kArea.top - 1, {0, 0, 0});
    b.setPixel(kArea.left + 4, kArea.top - 1, {255, 255, 255});
    b.setPixel(kArea.left + 5, kArea.top - 1, {0, 255, 0});
    pixelate(a, kArea, 12);
    pixelate(b, kArea, 12);
    EXPECT_FALSE(a.pixel(kArea.left, kArea.top) == b.pixel(kArea.left, kArea.top));
}

TEST(Pixelate, FillsBlocksOfAtLeastTwelveAndLeavesTheRestAlone) {
    const stEditImage before = noiseImage(140, 100, 5);
    stEditImage image = before;
    pixelate(image, kArea, 12);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (!kArea.contains({x, y})) {
                ASSERT_TRUE(image.pixel(x, y) == before.pixel(x, y)) << x << "," << y;
            }
    // Runs of one colour along the first row and the first column are each 12 or longer.
    auto runs = [&](bool alongRow) {
        std::set<int> lengths;
        int run = 1;
        const int n = alongRow ? kArea.width() : kArea.height();
        for (int i = 1; i <= n; ++i) {
            const bool same = i < n && (alongRow ? image.pixel(kArea.left + i, kArea.top) ==
                                                       image.pixel(kArea.left + i - 1, kArea.top)
                                                 : image.pixel(kArea.left, kArea.top + i) ==
                                                       image.pixel(kArea.left, kArea.top + i - 1));
            if (same) {
                ++run;
            } else {
                lengths.insert(run);
                run = 1;
            }
        }
        return lengths;
    };
    for (bool alongRow : {true, false}) {
        const std::set<int> lengths = runs(alongRow);
        ASSERT_FALSE(lengths.empty());
        EXPECT_GE(*lengths.begin(), 12);
    }
}

TEST(Pixelate, AnAreaWithoutRingIsGrey) {
    stEditImage image = noiseImage(20, 20, 3);
    pixelate(image, image.bounds(), 12);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_TRUE((image.pixel(x, y) == stEditColour{128, 128, 128}));
}

TEST(Highlight, MultipliesOnceWithinTheRadiusAndNowhereElse) {
    stEditImage image = stEditImage::blank(60, 40);
    fillRect(image, image.bounds(), {255, 255, 255});
    image.setPixel(20, 20, {100, 200, 50});
    // The stroke goes over (20, 20) twice: the pixel is still multiplied only once.
    highlight(image, {{10, 20}, {40, 20}, {10, 20}}, 5);
    EXPECT_TRUE(image.pixel(20, 20) ==
                (stEditColour{100, static_cast<std::uint8_t>(200 * 240 / 255),
                              static_cast<std::uint8_t>(50 * 90 / 255)}));
    EXPECT_TRUE(image.pixel(25, 25) == kHighlighterColour);
    EXPECT_TRUE(image.pixel(46, 20) == (stEditColour{255, 255, 255}));
    EXPECT_TRUE(image.pixel(25, 26) == (stEditColour{255, 255, 255}));
}

TEST(Crop, KeepsExactlyTheRectanglesBytes) {
    const stEditImage image = noiseImage(50, 30, 8);
    const stEditImage part = cropImage(image, {7, 5, 30, 21});
    ASSERT_EQ(part.width, 23);
    ASSERT_EQ(part.height, 16);
    EXPECT_EQ(part.bytes.size(), part.stride() * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 23; ++x)
            ASSERT_TRUE(part.pixel(x, y) == image.pixel(x + 7, y + 5));
}

TEST(FillRect, StaysInsideTheImage) {
    stEditImage image = noiseImage(10, 10, 2);
    const stEditImage before = image;
    fillRect(image, {-5, 8, 3, 20}, {1, 2, 3});
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
            EXPECT_TRUE(image.pixel(x, y) ==
                        (x < 3 && y >= 8 ? stEditColour{1, 2, 3} : before.pixel(x, y)));
}

} // namespace
