#include "output/upload/UploadHistory.h"

#include "output/upload/HistoryText.h"
#include "platform/DiskFile.h"
#include "platform/FileException.h"

#include <cstdint>
#include <optional>
#include <string>

namespace {

// What goes before a new line so that it starts a line of its own: a process ended mid-write
// leaves a last line without its line feed, and the new line must not be glued onto it.
std::string lineEndRepair(DiskFile& file) {
    if (file.length() == 0)
        return {};
    file.seek(-1, SeekOrigin::End);
    char last = '\0';
    file.read(&last, 1);
    return last == '\n' ? "" : "\r\n";
}

std::optional<DiskFile> openExisting(const std::wstring& path) {
    try {
        return DiskFile(path, DiskFile::Mode::OpenRead);
    } catch (const FileException& error) {
        if (error.osError() == ERROR_FILE_NOT_FOUND || error.osError() == ERROR_PATH_NOT_FOUND)
            return std::nullopt;
        throw;
    }
}

// The whole lines among the last limit bytes of the file. The byte before them is read too: when
// it is a line feed, the first line is whole and is kept.
std::string wholeLinesOfTail(DiskFile& file, std::size_t limit) {
    const std::uint64_t length = file.length();
    const std::uint64_t start = length > limit ? length - limit - 1 : 0;
    file.seek(static_cast<std::int64_t>(start), SeekOrigin::Begin);
    std::string bytes(static_cast<std::size_t>(length - start), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const std::size_t piece = file.read(bytes.data() + got, bytes.size() - got);
        if (piece == 0)
            break;
        got += piece;
    }
    bytes.resize(got);
    return start == 0 ? bytes : std::string(HistoryText::afterFirstLineEnd(bytes));
}

} // namespace

UploadHistory::UploadHistory(std::wstring path) : path_(std::move(path)) {}

void UploadHistory::append(const stHistoryEntry& entry) {
    DiskFile file(path_, DiskFile::Mode::OpenAppend);
    const std::string bytes = lineEndRepair(file) + HistoryText::line(entry);
    file.write(bytes.data(), bytes.size());
    file.flush();
    file.close();
}

std::vector<stHistoryEntry> UploadHistory::recent(std::size_t count) const {
    std::optional<DiskFile> file = openExisting(path_);
    if (!file)
        return {};
    std::vector<stHistoryEntry> entries = HistoryText::parse(wholeLinesOfTail(*file, kTailBytes));
    std::vector<stHistoryEntry> newest;
    for (auto it = entries.rbegin(); it != entries.rend() && newest.size() < count; ++it)
        newest.push_back(std::move(*it));
    return newest;
}

void UploadHistory::stampLocalTime(stHistoryEntry& entry) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    entry.time =
        HistoryText::timeText(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}
