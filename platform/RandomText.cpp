#include "platform/RandomText.h"

#include "platform/ResourceException.h"

#include <windows.h>
#include <bcrypt.h>

#include <cstdint>

namespace {

constexpr wchar_t kAlphabet[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr unsigned kAlphabetSize = 62;
// The largest multiple of 62 that a byte holds: bytes from it on are drawn again, so that every
// character is as likely as any other.
constexpr unsigned kEvenBytes = 248;

} // namespace

std::wstring randomAlphanumeric(std::size_t count) {
    std::wstring text;
    text.reserve(count);
    std::uint8_t bytes[64];
    while (text.size() < count) {
        if (!BCRYPT_SUCCESS(
                ::BCryptGenRandom(nullptr, bytes, sizeof bytes, BCRYPT_USE_SYSTEM_PREFERRED_RNG)))
            throw ResourceException(ERROR_GEN_FAILURE);
        for (std::uint8_t byte : bytes)
            if (byte < kEvenBytes && text.size() < count)
                text.push_back(kAlphabet[byte % kAlphabetSize]);
    }
    return text;
}
