#include "ui/BalloonText.h"

void copyBalloonField(wchar_t* field, std::size_t capacity, const wchar_t* text) noexcept {
    if (capacity == 0)
        return;
    std::size_t length = 0;
    if (text)
        while (length + 1 < capacity && text[length] != 0)
            ++length;
    // A high surrogate as the last character kept would be torn from its pair.
    if (length > 0 && text[length] != 0 && text[length - 1] >= 0xD800 && text[length - 1] <= 0xDBFF)
        --length;
    for (std::size_t i = 0; i < length; ++i)
        field[i] = text[i];
    field[length] = 0;
}
