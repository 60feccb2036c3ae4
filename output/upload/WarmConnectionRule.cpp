#include "output/upload/WarmConnectionRule.h"

bool WarmConnectionRule::sameTarget(const stSendTarget& a, const stSendTarget& b) noexcept {
    // The public address is not the connection's: a change of it alone keeps the connection.
    return a.server == b.server && a.port == b.port && a.username == b.username &&
           a.password == b.password && a.path == b.path && a.custom == b.custom;
}

void WarmConnectionRule::kept(const stSendTarget& target, std::uint64_t now) {
    target_ = target;
    since_ = now;
}

bool WarmConnectionRule::fits(const stSendTarget& target, std::uint64_t now) const noexcept {
    return target_ && sameTarget(*target_, target) && now < since_ + kKeepMs && now >= since_;
}

bool WarmConnectionRule::toClose(const std::optional<stSendTarget>& target,
                                 std::uint64_t now) const noexcept {
    return target_ && (!target || !fits(*target, now));
}

std::optional<std::uint64_t> WarmConnectionRule::expiresAt() const noexcept {
    if (!target_)
        return std::nullopt;
    return since_ + kKeepMs;
}
