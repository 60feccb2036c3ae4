#include "output/FrameFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameFormatTest, CodesMapToKindAndExtension) {
    EXPECT_EQ(imageKindFor(0), ImageKind::Png);
    EXPECT_STREQ(extensionFor(0), L".png");
    EXPECT_EQ(imageKindFor(1), ImageKind::Jpeg);
    EXPECT_STREQ(extensionFor(1), L".jpg");
    EXPECT_EQ(imageKindFor(2), ImageKind::Bmp);
    EXPECT_STREQ(extensionFor(2), L".bmp");
}

TEST(FrameFormatTest, EveryOtherCodeIsBmp) {
    for (int code : {-1, 3, 5, 7, 1000}) {
        EXPECT_EQ(imageKindFor(code), ImageKind::Bmp) << code;
        EXPECT_STREQ(extensionFor(code), L".bmp") << code;
    }
}

} // namespace
