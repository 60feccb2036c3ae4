#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A key combination: virtual-key codes in the order they were pressed. The last one is the trigger,
// the others must be held down when it goes down. Empty: no combination, it never matches.
using KeySeq = std::vector<std::int32_t>;

// The stored text keeps at most this many characters.
constexpr std::size_t kMaxKeySeqText = 255;

// Reads the stored text: the first kMaxKeySeqText characters (up to a zero character), split at
// runs of commas, each piece read as a decimal number after optional white space and sign. A piece
// that does not start with a number, or whose number does not fit 32 bits, is skipped; reading a
// piece stops at the first character that is not part of its number.
KeySeq parseKeySeq(const std::wstring& text);

// The stored text: each code in decimal, separated by single commas, nothing else; "" for an empty
// sequence. Codes whose text would go past kMaxKeySeqText characters are left off from the first
// one that does not fit, so what is stored always reads back as the first codes of the sequence.
std::wstring formatKeySeq(const KeySeq& sequence);
