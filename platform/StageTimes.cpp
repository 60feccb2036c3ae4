#include "platform/StageTimes.h"

#include <windows.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

constexpr int kCaptures = 1024;
constexpr int kStages = static_cast<int>(Stage::Count);

// Written from the hook, GUI and upload threads without a lock: each slot is one atomic.
std::array<std::array<std::atomic<long long>, kStages>, kCaptures> stamps;
std::atomic<long long> lastHook{0};
std::atomic<int> current{-1};
int written = 0;
// Pointer moves are timed on the GUI thread only.
std::array<long long, 65536> moves;
std::size_t movesTimed = 0;

long long now() noexcept {
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return counter.QuadPart;
}

// Only the GUI thread writes: at a dispatch and at exit.
void writeUpTo(int end) noexcept {
    const char* name = std::getenv("PIXLANCE_STAGE_TIMES");
    if (!name || written >= end)
        return;
    FILE* file = std::fopen(name, "a");
    if (!file)
        return;
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    if (movesTimed > 0) {
        std::fprintf(file, "MOVES %lld", static_cast<long long>(frequency.QuadPart));
        for (std::size_t i = 0; i < movesTimed; ++i)
            std::fprintf(file, " %lld", moves[i]);
        std::fputc('\n', file);
        movesTimed = 0;
    }
    for (; written < end && written < kCaptures; ++written) {
        std::fprintf(file, "STAGES %lld", static_cast<long long>(frequency.QuadPart));
        for (const auto& stamp : stamps[written])
            std::fprintf(file, " %lld", stamp.load());
        std::fputc('\n', file);
    }
    std::fclose(file);
}

struct WriteAtExit {
    ~WriteAtExit() { writeUpTo(current.load() + 1); }
} writeAtExit;

} // namespace

long long stageClock() noexcept {
    return now();
}

void markMoveShown(long long since) noexcept {
    if (movesTimed < moves.size())
        moves[movesTimed++] = now() - since;
}

void markStage(Stage stage) noexcept {
    const long long stamp = now();
    if (stage == Stage::HookCalled) {
        lastHook.store(stamp);
        return;
    }
    if (stage == Stage::Dispatched) {
        const int capture = current.load() + 1;
        if (capture >= kCaptures)
            return;
        stamps[capture][static_cast<int>(Stage::HookCalled)].store(lastHook.load());
        stamps[capture][static_cast<int>(Stage::Dispatched)].store(stamp);
        current.store(capture);
        writeUpTo(capture);
        return;
    }
    const int capture = current.load();
    if (capture >= 0)
        stamps[capture][static_cast<int>(stage)].store(stamp);
}
