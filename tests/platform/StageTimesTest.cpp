// Built only with -DPIXLANCE_STAGE_TIMES=ON: the stamps each capture leaves for the benchmark.
#include "platform/StageTimes.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The numbers of each line tagged "STAGES" (or the given tag).
std::vector<std::vector<long long>> readLines(const std::string& path,
                                              const std::string& wanted = "STAGES") {
    std::vector<std::vector<long long>> lines;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        std::istringstream words(line);
        std::string tag;
        words >> tag;
        EXPECT_TRUE(tag == "STAGES" || tag == "MOVES") << line;
        if (tag != wanted)
            continue;
        std::vector<long long> numbers;
        long long number;
        while (words >> number)
            numbers.push_back(number);
        lines.push_back(numbers);
    }
    return lines;
}

} // namespace

TEST(StageTimesTest, EachCapturesStampsAreOneLineOnceTheNextCaptureIsDispatched) {
    char folder[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
    const std::string path =
        std::string(folder) + "stage-times-" + std::to_string(::GetCurrentProcessId()) + ".txt";
    ::DeleteFileA(path.c_str());
    ASSERT_EQ(_putenv_s("PIXLANCE_STAGE_TIMES", path.c_str()), 0);

    markStage(Stage::HookCalled);
    markStage(Stage::Dispatched);
    markStage(Stage::PixelsRead);
    markStage(Stage::FrameConverted);
    markStage(Stage::FileEncoded);
    markStage(Stage::FileClosed);
    // The capture may still be uploading: nothing is written before the next one starts.
    EXPECT_TRUE(readLines(path).empty());

    markMoveShown(stageClock());
    markMoveShown(stageClock());
    markStage(Stage::Dispatched);
    markStage(Stage::UploadClosed);
    markStage(Stage::AddressCopied);
    std::vector<std::vector<long long>> lines = readLines(path);
    ASSERT_EQ(lines.size(), 1u);
    const std::vector<long long> first = lines[0];
    ASSERT_EQ(first.size(), 11u); // the frequency, then one stamp per stage
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    EXPECT_EQ(first[0], frequency.QuadPart);
    EXPECT_GT(first[1], 0);
    for (int stage = 2; stage <= 6; ++stage)
        EXPECT_LE(first[stage - 1], first[stage]) << "stage " << stage - 1;
    EXPECT_EQ(first[7], 0); // no upload in that capture
    EXPECT_EQ(first[8], 0);
    EXPECT_EQ(first[9], 0); // no selection window
    EXPECT_EQ(first[10], 0);
    // Pointer moves: the frequency, then the ticks each took, written with the captures.
    const std::vector<std::vector<long long>> moves = readLines(path, "MOVES");
    ASSERT_EQ(moves.size(), 1u);
    ASSERT_EQ(moves[0].size(), 3u);
    EXPECT_EQ(moves[0][0], frequency.QuadPart);
    EXPECT_GE(moves[0][1], 0);

    markStage(Stage::HookCalled);
    markStage(Stage::Dispatched);
    lines = readLines(path);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(readLines(path, "MOVES").size(), 1u); // written once
    const std::vector<long long> second = lines[1];
    ASSERT_EQ(second.size(), 11u);
    // The second capture had no key of its own: it carries the last one the hook saw.
    EXPECT_EQ(second[1], first[1]);
    EXPECT_GE(second[2], first[6]);
    EXPECT_EQ(second[3], 0);
    EXPECT_EQ(second[6], 0);
    EXPECT_GE(second[7], second[2]);
    EXPECT_GE(second[8], second[7]);
    // The stamps left at exit go nowhere.
    _putenv_s("PIXLANCE_STAGE_TIMES", "");
    ::DeleteFileA(path.c_str());
}
