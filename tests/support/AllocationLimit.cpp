#include "support/AllocationLimit.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::size_t> largestAllowed{AllocationLimit::kNone};

// Out of line, so that the compiler does not pair a free with an operator new it has seen.
[[gnu::noinline]] void release(void* memory) noexcept {
    std::free(memory);
}

} // namespace

void AllocationLimit::set(std::size_t bytes) noexcept {
    largestAllowed = bytes;
}

// The other forms of new and delete end in these.
void* operator new(std::size_t size) {
    const std::size_t wanted = size ? size : 1;
    void* memory = wanted <= largestAllowed.load() ? std::malloc(wanted) : nullptr;
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
