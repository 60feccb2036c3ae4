#include "hotkeys/KeySeq.h"

#include <limits>

namespace {

bool isBlank(wchar_t c) {
    return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

// The number at the start of [begin, end), as a formatted decimal scan reads it.
bool readNumber(const wchar_t* begin, const wchar_t* end, std::int32_t& value) {
    const wchar_t* p = begin;
    while (p != end && isBlank(*p))
        ++p;
    bool negative = false;
    if (p != end && (*p == L'+' || *p == L'-'))
        negative = *p++ == L'-';
    if (p == end || *p < L'0' || *p > L'9')
        return false;
    const std::int64_t limit =
        negative ? -static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::min())
                 : std::numeric_limits<std::int32_t>::max();
    std::int64_t magnitude = 0;
    for (; p != end && *p >= L'0' && *p <= L'9'; ++p) {
        magnitude = magnitude * 10 + (*p - L'0');
        if (magnitude > limit)
            return false;
    }
    value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
    return true;
}

} // namespace

KeySeq parseKeySeq(const std::wstring& text) {
    KeySeq sequence;
    std::size_t length = 0;
    while (length < text.size() && length < kMaxKeySeqText && text[length] != L'\0')
        ++length;
    const wchar_t* p = text.data();
    const wchar_t* const end = p + length;
    while (p != end) {
        if (*p == L',') {
            ++p;
            continue;
        }
        const wchar_t* tokenEnd = p;
        while (tokenEnd != end && *tokenEnd != L',')
            ++tokenEnd;
        std::int32_t code = 0;
        if (readNumber(p, tokenEnd, code))
            sequence.push_back(code);
        p = tokenEnd;
    }
    return sequence;
}

std::wstring formatKeySeq(const KeySeq& sequence) {
    std::wstring text;
    for (std::int32_t code : sequence) {
        std::wstring piece = text.empty() ? std::wstring() : std::wstring(L",");
        piece += std::to_wstring(code);
        if (text.size() + piece.size() > kMaxKeySeqText)
            break;
        text += piece;
    }
    return text;
}
