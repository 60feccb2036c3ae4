#pragma once

#include <windows.h>

#include <functional>

// How long each wait of a socket of ours may last, and what ends it early.
struct stSocketLimits {
    DWORD timeoutMs = 20000;
    // Asked about every kCancelCheckMs while a wait lasts; may be empty.
    std::function<bool()> cancelled;
};

namespace SocketWait {

constexpr DWORD kCancelCheckMs = 100;

// Waits until the socket (non-blocking) can be read, or written, or has failed. Raises
// InternetException: ERROR_INTERNET_TIMEOUT when the time is up, ERROR_INTERNET_OPERATION_CANCELLED
// when cancelled.
void until(UINT_PTR socket, bool forWrite, const stSocketLimits& limits);

} // namespace SocketWait
