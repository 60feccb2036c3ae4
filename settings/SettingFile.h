#pragma once

#include "settings/SettingValue.h"

#include <cstddef>
#include <string>

// The bytes of "Settings.dat". All integers are 32-bit little-endian:
//   count, then count entries of
//   key size (bytes), key (UTF-16LE, no terminator), type tag, value size, value
// where the value is the text (UTF-16LE, no terminator), a 32-bit integer, the 8 bytes of a double
// or one byte 0/1 for a bool. Each wchar_t holds one UTF-16 code unit.
namespace SettingFile {

// Keys and texts keep at most this many code units, and end at a zero code unit.
constexpr std::size_t kMaxTextLength = 255;
// Readers look at no more of a file than this; ours are a few KiB, and the rest counts as missing.
constexpr std::size_t kMaxFileSize = 16 * 1024 * 1024;

// The whole file for these entries, in map order.
std::string encode(const SettingMap& entries);

// The entries of a file's bytes; never fails.
//
// The format has no end marker or checksum, so damage shows only as a field that cannot be read
// whole: the count promises more entries than there are, the data ends inside an entry, or a key or
// value size reaches past the end. Then the entries read whole before the damage are kept and
// nothing from the damaged one on. A negative count means no entries; bytes after the last counted
// entry are ignored. Sizes are never trusted for memory: a key or text longer than kMaxTextLength
// keeps its first kMaxTextLength code units and the rest of the field is skipped. Each entry takes
// at least 12 bytes, so the work is bounded by the size of the data whatever the count says.
// An entry of a type other than 0 to 3 is skipped by its value size and dropped; a key that occurs
// twice keeps the later value.
SettingMap decode(const unsigned char* data, std::size_t size);

} // namespace SettingFile
