#pragma once

#include <cstdlib>
#include <string>

// What the fuzz targets assert with: a broken property stops the run like a crash, so the input
// is kept.
inline void check(bool condition) {
    if (!condition)
        std::abort();
}

// Whether a server's reply text begins, after blanks, with a number below 300 (a positive reply).
inline bool beginsWithReplyBelow300(const std::wstring& text) {
    std::size_t i = text.find_first_not_of(L" \t");
    if (i == std::wstring::npos || text[i] < L'0' || text[i] > L'9')
        return false;
    unsigned long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i)
        if ((value = value * 10 + static_cast<unsigned long>(text[i] - L'0')) >= 300)
            return false;
    return true;
}
