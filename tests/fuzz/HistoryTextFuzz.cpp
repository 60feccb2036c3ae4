// Any bytes as "History.tsv": reading never fails, each entry it gives writes back to a line that
// reads as the same entry, and the lines after any line feed give the newest of those entries. The
// same bytes as UTF-16LE fields (split at zero units) make a line that reads back as one entry.
#include "FuzzChecks.h"
#include "../output/HistoryLines.h"
#include "output/upload/HistoryText.h"
#include "platform/Utf8Text.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

void checkFile(std::string_view bytes) {
    const std::vector<stHistoryEntry> entries = HistoryText::parse(bytes);
    const std::string lines = linesOf(entries);
    check(linesOf(HistoryText::parse(lines)) == lines);
    for (const stHistoryEntry& entry : entries)
        check(HistoryText::parse(HistoryText::line(entry)).size() == 1);

    const std::string tail =
        linesOf(HistoryText::parse(HistoryText::afterFirstLineEnd(bytes.substr(bytes.size() / 2))));
    check(lines.size() >= tail.size() &&
          lines.compare(lines.size() - tail.size(), tail.size(), tail) == 0);

    if (const auto text = Utf8Text::toUtf16(bytes))
        check(Utf8Text::toUtf8(*text) == std::string(bytes));
}

void checkLineOfAnyFields(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> fields(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t unit = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        if (unit == L'\0' && fields.size() < 3)
            fields.emplace_back();
        else
            fields.back().push_back(unit);
    }
    fields.resize(3);
    const stHistoryEntry entry{L"2024-03-09 14:05:07", fields[0], fields[1], fields[2]};
    const std::string line = HistoryText::line(entry);
    const std::vector<stHistoryEntry> reread = HistoryText::parse(line);
    check(reread.size() == (entry.address.empty() ? 0u : 1u));
    // Each unit stays one unit (itself, a space or U+FFFD), so every field keeps its length.
    if (!reread.empty())
        check(HistoryText::line(reread.front()) == line &&
              reread.front().address.size() == entry.address.size() &&
              reread.front().localPath.size() == entry.localPath.size() &&
              reread.front().server.size() == entry.server.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    checkFile(std::string_view(reinterpret_cast<const char*>(data), size));
    checkLineOfAnyFields(data, size);
    return 0;
}
