#include "platform/Utf8Text.h"

namespace Utf8Text {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& out, char32_t codePoint) {
    auto put = [&out](char32_t bits) { out.push_back(static_cast<char>(bits)); };
    if (codePoint < 0x80) {
        put(codePoint);
    } else if (codePoint < 0x800) {
        put(0xC0 | codePoint >> 6);
        put(0x80 | (codePoint & 0x3F));
    } else if (codePoint < 0x10000) {
        put(0xE0 | codePoint >> 12);
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    } else {
        put(0xF0 | codePoint >> 18);
        put(0x80 | (codePoint >> 12 & 0x3F));
        put(0x80 | (codePoint >> 6 & 0x3F));
        put(0x80 | (codePoint & 0x3F));
    }
}

void appendUtf16(std::wstring& out, char32_t codePoint) {
    if (codePoint < 0x10000) {
        out.push_back(static_cast<wchar_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (codePoint >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (codePoint & 0x3FF)));
}

// How many bytes the sequence a lead byte begins takes; 0 for a byte that begins none (a
// continuation byte, or one that could only begin an overlong form or a code point past U+10FFFF).
std::size_t sequenceLength(unsigned char lead) {
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

// The smallest code point each sequence length may carry; below it the form is overlong.
constexpr char32_t kSmallestOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

// False at the first unit that is not UTF-16, unless such units are replaced.
bool appendUtf8Of(std::string& out, std::wstring_view utf16, bool replace) {
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        // A signed wchar_t (native builds) below zero is past 0xFFFF here.
        const auto unit = static_cast<char32_t>(utf16[i]);
        char32_t codePoint = unit;
        const bool pairFollows =
            i + 1 < utf16.size() && isLowSurrogate(static_cast<char32_t>(utf16[i + 1]));
        if (isHighSurrogate(unit) && pairFollows) {
            const auto low = static_cast<char32_t>(utf16[++i]);
            codePoint = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
        } else if (isHighSurrogate(unit) || isLowSurrogate(unit) || unit > 0xFFFF) {
            if (!replace)
                return false;
            codePoint = kReplacement;
        }
        appendUtf8(out, codePoint);
    }
    return true;
}

} // namespace

std::optional<std::wstring> toUtf16(std::string_view utf8) {
    std::wstring out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = sequenceLength(lead);
        if (length == 0 || length > utf8.size() - i)
            return std::nullopt;
        char32_t codePoint = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80)
                return std::nullopt;
            codePoint = codePoint << 6 | (next & 0x3F);
        }
        if (codePoint < kSmallestOfLength[length] || codePoint > 0x10FFFF ||
            isHighSurrogate(codePoint) || isLowSurrogate(codePoint))
            return std::nullopt;
        appendUtf16(out, codePoint);
        i += length;
    }
    return out;
}

std::optional<std::string> toUtf8(std::wstring_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    if (!appendUtf8Of(out, utf16, false))
        return std::nullopt;
    return out;
}

std::string toUtf8Replacing(std::wstring_view utf16) {
    std::string out;
    out.reserve(utf16.size());
    appendUtf8Of(out, utf16, true);
    return out;
}

} // namespace Utf8Text
