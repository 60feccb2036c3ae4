#pragma once

#include "output/upload/stSendTarget.h"

#include <cstdint>
#include <optional>

// When a logged-in connection left idle after an upload (or made ready for the next one) may
// carry the next upload: to the same target with the same settings, within the keeping time of
// its last use. One connection at most: keeping another replaces it. Times are milliseconds of one
// steady clock.
class WarmConnectionRule {
public:
    static constexpr std::uint64_t kKeepMs = 60'000;

    // Whether two targets are one for a connection: server, port, account and folder alike.
    static bool sameTarget(const stSendTarget& a, const stSendTarget& b) noexcept;

    // A connection to the target is idle from now on.
    void kept(const stSendTarget& target, std::uint64_t now);
    // No connection is idle any more (taken, or closed).
    void forget() noexcept { target_.reset(); }
    bool holds() const noexcept { return target_.has_value(); }

    // Whether the idle connection may serve an upload to target at now.
    bool fits(const stSendTarget& target, std::uint64_t now) const noexcept;
    // Whether the idle connection is to be closed at now, target being the one selected (none
    // while uploading is off): expired, or kept for another target.
    bool toClose(const std::optional<stSendTarget>& target, std::uint64_t now) const noexcept;
    // When the idle connection expires; none while none is idle.
    std::optional<std::uint64_t> expiresAt() const noexcept;

private:
    std::optional<stSendTarget> target_;
    std::uint64_t since_ = 0;
};
