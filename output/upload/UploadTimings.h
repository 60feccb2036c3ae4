#pragma once

#include <array>
#include <cstdint>

// How long the upload waits for what; tests make them short.
struct stUploadTimings {
    // A failed upload is tried again after these (the first, second and third failure); after a
    // fourth, only when the user asks or at the next start.
    std::array<std::uint32_t, 3> retryDelaysMs{10'000, 60'000, 600'000};
    // A transfer that makes no progress for this long fails, and is tried again as above.
    std::uint32_t stallLimitMs = 60'000;
    // What WinInet may wait for a connection, a send or a reply, on every handle.
    std::uint32_t networkTimeoutMs = 30'000;
    // How long a clipboard that another program holds is tried again for an address.
    std::uint32_t clipboardRetryMs = 5'000;
};
