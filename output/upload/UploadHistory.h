#pragma once

#include "output/upload/stHistoryEntry.h"

#include <cstddef>
#include <string>
#include <vector>

// The file of confirmed uploads, one line each (HistoryText has the format). Its folder is the
// caller's to make. Every failure raises FileException with the path.
class UploadHistory {
public:
    // recent() reads the whole lines within this many bytes of the end, however long the file.
    static constexpr std::size_t kTailBytes = 64 * 1024;

    explicit UploadHistory(std::wstring path);

    // Adds the entry's line, creating the file when it is missing, and flushes it to disk at once.
    // A last line without its line end (a process was ended while writing it) gets one first, so
    // the new line is a line of its own.
    void append(const stHistoryEntry& entry);
    // At most count entries, newest first, from the last kTailBytes of the file; none when there
    // is no file yet.
    std::vector<stHistoryEntry> recent(std::size_t count) const;

    // Sets the entry's time from the local clock.
    static void stampLocalTime(stHistoryEntry& entry);

    const std::wstring& path() const noexcept { return path_; }

private:
    std::wstring path_;
};
