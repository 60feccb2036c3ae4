#include "output/FrameFormat.h"

#include <gtest/gtest.h>

namespace {

TEST(FrameFormatTest, EveryOtherCodeIsBmp) {
    for (int code : {-1, 3, 5, 7, 1000}) {
        EXPECT_EQ(imageKindFor(code), ImageKind::Bmp) << code;
        EXPECT_STREQ(extensionFor(code), L".bmp") << code;
    }
}

} // namespace
