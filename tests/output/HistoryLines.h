#pragma once

#include "output/upload/HistoryText.h"

#include <string>
#include <vector>

// Entries as the lines the file holds for them, so that a comparison shows every field.
inline std::string linesOf(const std::vector<stHistoryEntry>& entries) {
    std::string lines;
    for (const stHistoryEntry& entry : entries)
        lines += HistoryText::line(entry);
    return lines;
}
