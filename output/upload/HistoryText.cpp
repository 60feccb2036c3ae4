#include "output/upload/HistoryText.h"

#include "platform/Utf8Text.h"

#include <optional>

namespace HistoryText {

namespace {

constexpr wchar_t kSeparator = L'\t';
constexpr std::size_t kFieldCount = 4;
constexpr wchar_t kTimeShape[] = L"0000-00-00 00:00:00";
constexpr std::size_t kTimeLength = sizeof kTimeShape / sizeof kTimeShape[0] - 1;

void appendNumber(std::wstring& text, int value, std::size_t digits) {
    std::wstring number = std::to_wstring(value);
    if (number.size() < digits)
        text.append(digits - number.size(), L'0');
    text += number;
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// The number of the digits at text[start, start + digits).
int numberAt(const std::wstring& text, std::size_t start, std::size_t digits) {
    int value = 0;
    for (std::size_t i = start; i < start + digits; ++i)
        value = value * 10 + (text[i] - L'0');
    return value;
}

bool isTimeText(const std::wstring& text) {
    if (text.size() != kTimeLength)
        return false;
    for (std::size_t i = 0; i < kTimeLength; ++i)
        if (isDigit(kTimeShape[i]) ? !isDigit(text[i]) : text[i] != kTimeShape[i])
            return false;
    const int month = numberAt(text, 5, 2);
    const int day = numberAt(text, 8, 2);
    return month >= 1 && month <= 12 && day >= 1 && day <= 31 && numberAt(text, 11, 2) <= 23 &&
           numberAt(text, 14, 2) <= 59 && numberAt(text, 17, 2) <= 59;
}

void appendField(std::wstring& text, const std::wstring& field) {
    for (wchar_t c : field)
        text.push_back(c == L'\t' || c == L'\r' || c == L'\n' ? L' ' : c);
}

std::vector<std::wstring> splitFields(const std::wstring& text) {
    std::vector<std::wstring> fields(1);
    for (wchar_t c : text) {
        if (c == kSeparator)
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

// One line without its line feed.
std::optional<stHistoryEntry> entryOf(std::string_view lineBytes) {
    if (!lineBytes.empty() && lineBytes.back() == '\r')
        lineBytes.remove_suffix(1);
    const std::optional<std::wstring> text = Utf8Text::toUtf16(lineBytes);
    if (!text || text->find(L'\r') != std::wstring::npos)
        return std::nullopt;
    std::vector<std::wstring> fields = splitFields(*text);
    if (fields.size() != kFieldCount || !isTimeText(fields[0]) || fields[1].empty())
        return std::nullopt;
    return stHistoryEntry{std::move(fields[0]), std::move(fields[1]), std::move(fields[2]),
                          std::move(fields[3])};
}

} // namespace

std::wstring timeText(int year, int month, int day, int hour, int minute, int second) {
    std::wstring text;
    text.reserve(kTimeLength);
    appendNumber(text, year, 4);
    text += L'-';
    appendNumber(text, month, 2);
    text += L'-';
    appendNumber(text, day, 2);
    text += L' ';
    appendNumber(text, hour, 2);
    text += L':';
    appendNumber(text, minute, 2);
    text += L':';
    appendNumber(text, second, 2);
    return text;
}

std::string line(const stHistoryEntry& entry) {
    std::wstring text;
    appendField(text, entry.time);
    for (const std::wstring* field : {&entry.address, &entry.localPath, &entry.server}) {
        text += kSeparator;
        appendField(text, *field);
    }
    return Utf8Text::toUtf8Replacing(text) + "\r\n";
}

std::vector<stHistoryEntry> parse(std::string_view bytes) {
    std::vector<stHistoryEntry> entries;
    std::size_t start = 0;
    for (std::size_t end = bytes.find('\n'); end != std::string_view::npos;
         end = bytes.find('\n', start)) {
        if (std::optional<stHistoryEntry> entry = entryOf(bytes.substr(start, end - start)))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}

std::string_view afterFirstLineEnd(std::string_view bytes) {
    const std::size_t end = bytes.find('\n');
    return end == std::string_view::npos ? std::string_view() : bytes.substr(end + 1);
}

std::wstring fileNamePart(const std::wstring& addressOrPath) {
    const std::size_t separator = addressOrPath.find_last_of(L"/\\");
    return separator == std::wstring::npos ? addressOrPath : addressOrPath.substr(separator + 1);
}

} // namespace HistoryText
