#include "output/upload/ServerReply.h"

namespace ServerReply {

namespace {

bool isDigit(wchar_t c) noexcept {
    return c >= L'0' && c <= L'9';
}

} // namespace

int code(const std::wstring& reply) noexcept {
    if (reply.size() < 3 || !isDigit(reply[0]) || !isDigit(reply[1]) || !isDigit(reply[2]))
        return 0;
    // "2134" is no code of three digits.
    if (reply.size() > 3 && isDigit(reply[3]))
        return 0;
    return (reply[0] - L'0') * 100 + (reply[1] - L'0') * 10 + (reply[2] - L'0');
}

bool isRefusal(const std::wstring& reply) noexcept {
    return code(reply) >= 400;
}

std::optional<std::uint64_t> fileSize(const std::wstring& reply) noexcept {
    if (code(reply) != 213 || reply.size() < 5 || reply[3] != L' ' || !isDigit(reply[4]))
        return std::nullopt;
    std::uint64_t size = 0;
    std::size_t i = 4;
    for (; i < reply.size() && isDigit(reply[i]); ++i) {
        const std::uint64_t digit = static_cast<std::uint64_t>(reply[i] - L'0');
        if (size > (UINT64_MAX - digit) / 10)
            return std::nullopt;
        size = size * 10 + digit;
    }
    // The number ends the reply's first line.
    if (i < reply.size() && reply[i] != L'\r' && reply[i] != L'\n' && reply[i] != L' ')
        return std::nullopt;
    return size;
}

} // namespace ServerReply
