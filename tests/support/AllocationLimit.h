#pragma once

#include <cstddef>
#include <cstdint>

// Compiled into a test program of its own (never into the support library), this file replaces
// the program's allocation functions, so that a test can make memory run out on demand.
namespace AllocationLimit {

constexpr std::size_t kNone = SIZE_MAX;

// From now on an allocation of more than bytes fails with std::bad_alloc (0: every allocation);
// kNone lifts the limit.
void set(std::size_t bytes) noexcept;

} // namespace AllocationLimit
