#include "output/FrameWriting.h"
#include "support/MemoryFile.h"
#include "support/RecordingUpdate.h"
#include "support/TestImages.h"

#include <gtest/gtest.h>

namespace {

std::string signature(const std::string& bytes) {
    return bytes.substr(0, 2);
}

TEST(FrameWritingTest, FormatCodePicksTheWriter) {
    FramePtr frame = TestImages::makeNoiseFrame(8, 8);
    struct Case {
        int code;
        std::string signature;
        std::size_t messages;
    };
    for (const Case& c : {Case{0, "\x89P", 0}, Case{1, "\xFF\xD8", 0}, Case{2, "BM", 1},
                          Case{7, "BM", 1}, Case{-1, "BM", 1}}) {
        MemoryFile file;
        RecordingUpdate update;
        EXPECT_TRUE(writeFrameAs(c.code, frame.get(), &file, &update)) << c.code;
        EXPECT_EQ(signature(file.bytes()), c.signature) << c.code;
        EXPECT_EQ(update.count(), c.messages) << c.code;
    }
}

} // namespace
