#include "hotkeys/KeySeqDescription.h"

std::wstring describeKeySeq(const KeySeq& sequence, const KeyNameLookup& nameOf) {
    std::wstring text;
    for (std::int32_t code : sequence) {
        if (!text.empty())
            text += L" + ";
        std::wstring name = nameOf(code);
        if (name.empty())
            name = L"#" + std::to_wstring(code);
        text += L'\'' + name + L'\'';
    }
    return text;
}
