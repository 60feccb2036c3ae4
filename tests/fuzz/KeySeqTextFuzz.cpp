// Any text (the bytes as UTF-16LE code units) as a stored key combination: reading never
// misbehaves, and what is written from it stays within bounds and reads back as the same codes.
#include "FuzzChecks.h"
#include "hotkeys/KeySeq.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const KeySeq sequence = parseKeySeq(text);
    // Every code takes at least one digit of the first 255 characters.
    check(sequence.size() <= (kMaxKeySeqText + 1) / 2);

    const std::wstring stored = formatKeySeq(sequence);
    check(stored.size() <= kMaxKeySeqText);
    const KeySeq reread = parseKeySeq(stored);
    check(reread.size() <= sequence.size());
    check(KeySeq(sequence.begin(), sequence.begin() + reread.size()) == reread);
    check(formatKeySeq(reread) == stored);
    return 0;
}
