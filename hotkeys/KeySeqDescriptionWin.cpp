#include "hotkeys/KeyDisplayName.h"
#include "hotkeys/KeySeqDescription.h"

std::wstring describeKeySeq(const KeySeq& sequence) {
    return describeKeySeq(sequence, [](std::int32_t code) {
        wchar_t name[256];
        keyDisplayName(static_cast<UINT>(code), name);
        return std::wstring(name);
    });
}
