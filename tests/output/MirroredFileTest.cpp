#include "output/MirroredFile.h"
#include "support/MemoryFile.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string text(const std::vector<unsigned char>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST(MirroredFileTest, TheCopyHoldsWhatTheFileHoldsAfterWritesAndSeeks) {
    MemoryFile file;
    MirroredFile mirror(file);
    mirror.write("header--", 8);
    mirror.write("body", 4);
    // As an encoder fills in a length it did not know before.
    EXPECT_EQ(mirror.seek(6, SeekOrigin::Begin), 6u);
    mirror.write("XY", 2);
    EXPECT_EQ(mirror.position(), 8u);
    EXPECT_EQ(mirror.seek(0, SeekOrigin::End), 12u);
    mirror.write("!", 1);
    mirror.flush();
    mirror.close();

    EXPECT_EQ(file.bytes(), "headerXYbody!");
    EXPECT_EQ(file.flushes(), 1);
    EXPECT_EQ(file.closes(), 1);
    EXPECT_EQ(text(mirror.takeBytes()), file.bytes());
    EXPECT_TRUE(mirror.takeBytes().empty());
}

TEST(MirroredFileTest, AFailedWriteLeavesTheCopyAsItWas) {
    MemoryFile file(true, 5);
    MirroredFile mirror(file);
    mirror.write("abc", 3);
    EXPECT_ANY_THROW(mirror.write("defg", 4));
    EXPECT_EQ(mirror.position(), 3u);
    EXPECT_EQ(text(mirror.takeBytes()), "abc");
}

} // namespace
