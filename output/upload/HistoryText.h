#pragma once

#include "output/upload/stHistoryEntry.h"

#include <string>
#include <string_view>
#include <vector>

// The lines of the upload history file: UTF-8, one upload per line, the entry's four fields in
// order (time, address, local path, server) separated by tabs, each line ending in "\r\n".
namespace HistoryText {

// "YYYY-MM-DD HH:MM:SS" from calendar fields (years 0 to 9999).
std::wstring timeText(int year, int month, int day, int hour, int minute, int second);

// The entry's line. A tab, CR or LF inside a field is written as a space and a unit that is not
// UTF-16 as U+FFFD, so that no field can break the line.
std::string line(const stHistoryEntry& entry);

// The entries of a file's bytes, in file order; never fails. Lines end in "\n" or "\r\n". A last
// line without its line end is one a process was ended in the middle of writing, and is skipped;
// so is every line the writer cannot have written: a field count other than four, a time not of
// the form above, an empty address, a CR inside a field, bytes that are not UTF-8.
std::vector<stHistoryEntry> parse(std::string_view bytes);

// The bytes after the first line feed: a piece read from inside the file begins inside a line.
std::string_view afterFirstLineEnd(std::string_view bytes);

// The text after the last '/' or '\' of an address or path (the whole text without either), for
// captions.
std::wstring fileNamePart(const std::wstring& addressOrPath);

} // namespace HistoryText
