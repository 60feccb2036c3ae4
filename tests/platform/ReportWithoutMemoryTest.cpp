#include "platform/CallbackGuard.h"
#include "support/AllocationLimit.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace {

// Runs a handler that raises with no memory to be had, and returns the text reported.
template <typename Raise> std::wstring reportedWithoutMemory(Raise raise) {
    std::wstring reported = L"(nothing reported)";
    const bool result = callGuarded<bool>(
        [&]() -> bool {
            AllocationLimit::set(0);
            raise();
            return true;
        },
        [&](const AppException& error) {
            // The recording needs memory of its own; the guard has made its report by now.
            AllocationLimit::set(AllocationLimit::kNone);
            reported = error.message();
        },
        false);
    AllocationLimit::set(AllocationLimit::kNone);
    EXPECT_FALSE(result);
    return reported;
}

TEST(ReportWithoutMemoryTest, GuardReportsExhaustedMemoryWithoutAllocating) {
    EXPECT_EQ(reportedWithoutMemory([] { throw std::bad_alloc(); }), L"内存不足.");
    // Memory that ran out inside the handler itself.
    std::wstring grown;
    EXPECT_EQ(reportedWithoutMemory([&grown] { grown.assign(100, L'x'); }), L"内存不足.");
}

TEST(ReportWithoutMemoryTest, GuardReportsAnUnknownExceptionWithoutAllocating) {
    EXPECT_EQ(reportedWithoutMemory([] { throw 42; }), L"Unexpected error.");
}

TEST(ReportWithoutMemoryTest, ShownMessageCopiesIntoABufferWithoutAllocating) {
    const AppException shortOne(L"Short text.");
    const AppException longOne(std::wstring(300, L'y'));
    wchar_t shortText[AppException::kShownLength + 1];
    wchar_t longText[AppException::kShownLength + 1];
    AllocationLimit::set(0);
    shortOne.copyShownMessage(shortText);
    longOne.copyShownMessage(longText);
    AllocationLimit::set(AllocationLimit::kNone);
    EXPECT_EQ(std::wstring(shortText), L"Short text.");
    EXPECT_EQ(std::wstring(longText), std::wstring(AppException::kShownLength, L'y'));
}

} // namespace
