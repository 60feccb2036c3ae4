#include "ui/BalloonText.h"

#include "platform/TextCut.h"

void copyBalloonField(wchar_t* field, std::size_t capacity, const wchar_t* text) noexcept {
    if (capacity == 0)
        return;
    std::size_t length = 0;
    // Counts at most one character past what fits: enough to know whether the text is cut.
    if (text)
        while (length < capacity && text[length] != 0)
            ++length;
    length = cutLength(text, length, capacity - 1);
    for (std::size_t i = 0; i < length; ++i)
        field[i] = text[i];
    field[length] = 0;
}
