#include "platform/CallbackGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <string>

namespace {

// While set, every allocation of this program fails.
bool failAllocations = false;

// Out of line, so that the compiler does not pair a free with an operator new it has seen.
[[gnu::noinline]] void release(void* memory) noexcept {
    std::free(memory);
}

} // namespace

// The other forms of new and delete end in these.
void* operator new(std::size_t size) {
    void* memory = failAllocations ? nullptr : std::malloc(size ? size : 1);
    if (!memory)
        throw std::bad_alloc();
    return memory;
}
void operator delete(void* memory) noexcept {
    release(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    release(memory);
}

namespace {

// Runs a handler that raises with no memory to be had, and returns the text reported.
template <typename Raise> std::wstring reportedWithoutMemory(Raise raise) {
    std::wstring reported = L"(nothing reported)";
    const bool result = callGuarded<bool>(
        [&]() -> bool {
            failAllocations = true;
            raise();
            return true;
        },
        [&](const AppException& error) {
            // The recording needs memory of its own; the guard has made its report by now.
            failAllocations = false;
            reported = error.message();
        },
        false);
    failAllocations = false;
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
    failAllocations = true;
    shortOne.copyShownMessage(shortText);
    longOne.copyShownMessage(longText);
    failAllocations = false;
    EXPECT_EQ(std::wstring(shortText), L"Short text.");
    EXPECT_EQ(std::wstring(longText), std::wstring(AppException::kShownLength, L'y'));
}

} // namespace
