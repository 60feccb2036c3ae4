#include "app/InstanceLock.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

TEST(InstanceLockTest, SecondLockFailsWhileTheFirstIsHeld) {
    const std::wstring dir = TestEnvironment::freshTempDir(L"instancelock");
    const std::wstring path = dir + L"\\running";
    {
        InstanceLock first(path);
        EXPECT_TRUE(first.held());
        InstanceLock second(path);
        EXPECT_FALSE(second.held());
    }
    // The file stays behind and does not block the next start.
    EXPECT_TRUE(TestEnvironment::fileExists(path));
    InstanceLock again(path);
    EXPECT_TRUE(again.held());
    EXPECT_EQ(TestEnvironment::readFileBytes(path), "");
}

} // namespace
