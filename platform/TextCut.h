#pragma once

#include <cstddef>
#include <string>

// How many of a text's first `length` UTF-16 code units to keep so that at most maxLength remain
// and no surrogate pair is torn apart: one less when the cut would fall between a pair's halves.
inline std::size_t cutLength(const wchar_t* text, std::size_t length,
                             std::size_t maxLength) noexcept {
    if (length <= maxLength)
        return length;
    const wchar_t last = maxLength > 0 ? text[maxLength - 1] : 0;
    return last >= 0xD800 && last <= 0xDBFF ? maxLength - 1 : maxLength;
}

// The text cut to at most maxLength code units, never inside a surrogate pair.
inline std::wstring cutText(const std::wstring& text, std::size_t maxLength) {
    return text.substr(0, cutLength(text.data(), text.size(), maxLength));
}
