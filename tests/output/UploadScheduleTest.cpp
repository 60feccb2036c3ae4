#include "output/upload/ServerReply.h"
#include "output/upload/UploadSchedule.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::wstring> names(const std::vector<stFrameEntry>& entries) {
    std::vector<std::wstring> result;
    for (const stFrameEntry& entry : entries)
        result.push_back(entry.fileName);
    return result;
}

stUploadTimings delays(std::uint32_t first, std::uint32_t second, std::uint32_t third) {
    stUploadTimings timings;
    timings.retryDelaysMs = {first, second, third};
    return timings;
}

// Two at a time, in queue order; the others wait their turn, on disk.
TEST(UploadScheduleTest, AtMostTwoAreSentAtATimeInQueueOrder) {
    UploadSchedule schedule;
    for (const wchar_t* name : {L"a.png", L"b.png", L"c.png", L"d.png"})
        schedule.add(name, L"", 1000);
    schedule.add(L"a.png", L"again", 1000);
    EXPECT_EQ(schedule.size(), 4u);
    EXPECT_EQ(names(schedule.takeDue(1000)), (std::vector<std::wstring>{L"a.png", L"b.png"}));
    EXPECT_TRUE(schedule.takeDue(5000).empty());
    schedule.succeeded(L"b.png");
    EXPECT_EQ(names(schedule.takeDue(1000)), std::vector<std::wstring>{L"c.png"});
    EXPECT_EQ(schedule.sendingCount(), 2u);
    EXPECT_EQ(schedule.find(L"a.png")->localPath, L"");
}

// After the first, second and third failure the next attempt waits its delay; after the fourth,
// none is planned until the captures are resent by hand, which starts the delays over.
TEST(UploadScheduleTest, RetriesWaitTheirDelaysThenRestUntilResent) {
    UploadSchedule schedule(delays(10'000, 60'000, 600'000));
    schedule.add(L"shot.png", L"C:\\shots\\shot.png", 0);
    std::uint64_t now = 0;
    for (std::uint64_t delay : {10'000u, 60'000u, 600'000u}) {
        ASSERT_EQ(schedule.takeDue(now).size(), 1u);
        EXPECT_TRUE(schedule.failed(L"shot.png", now));
        EXPECT_EQ(schedule.nextDue(), now + delay);
        EXPECT_TRUE(schedule.takeDue(now + delay - 1).empty());
        now += delay;
    }
    ASSERT_EQ(schedule.takeDue(now).size(), 1u);
    EXPECT_FALSE(schedule.failed(L"shot.png", now));
    EXPECT_FALSE(schedule.nextDue());
    EXPECT_TRUE(schedule.takeDue(now + 86'400'000).empty());
    EXPECT_EQ(schedule.size(), 1u) << "a resting capture stays queued";

    schedule.resendAll(now);
    ASSERT_EQ(schedule.takeDue(now).size(), 1u);
    EXPECT_TRUE(schedule.failed(L"shot.png", now));
    EXPECT_EQ(schedule.nextDue(), now + 10'000);
    EXPECT_EQ(schedule.find(L"shot.png")->localPath, L"C:\\shots\\shot.png");
}

// Resending leaves what is being sent alone, so nothing goes twice at once.
TEST(UploadScheduleTest, ResendingDoesNotStartWhatIsBeingSent) {
    UploadSchedule schedule;
    schedule.add(L"sending.png", L"", 0);
    schedule.add(L"waiting.png", L"", 0);
    ASSERT_EQ(schedule.takeDue(0).size(), 2u);
    schedule.failed(L"waiting.png", 0);
    schedule.resendAll(1);
    EXPECT_EQ(names(schedule.takeDue(1)), std::vector<std::wstring>{L"waiting.png"});
    EXPECT_EQ(schedule.sendingCount(), 2u);
}

TEST(ServerReplyTest, SizeRepliesGiveTheirNumberAndNothingElseDoes) {
    EXPECT_EQ(ServerReply::fileSize(L"213 3000000"), 3000000u);
    EXPECT_EQ(ServerReply::fileSize(L"213 0\r\n"), 0u);
    EXPECT_EQ(ServerReply::fileSize(L"213 18446744073709551615"), 18446744073709551615u);
    for (const wchar_t* reply : {L"213 18446744073709551616", L"550 /a.png is not retrievable.",
                                 L"213 12abc", L"2130 5", L"213", L"213 ", L"", L"213 -5"})
        EXPECT_FALSE(ServerReply::fileSize(reply)) << reply;
}

TEST(ServerReplyTest, RefusalsAreRepliesOf400AndMore) {
    EXPECT_TRUE(ServerReply::isRefusal(L"426 Connection closed; transfer aborted."));
    EXPECT_TRUE(ServerReply::isRefusal(L"552 Quota exceeded."));
    EXPECT_FALSE(ServerReply::isRefusal(L"226 Transfer complete."));
    EXPECT_FALSE(ServerReply::isRefusal(L"4xx no code"));
    EXPECT_FALSE(ServerReply::isRefusal(L""));
}

} // namespace
