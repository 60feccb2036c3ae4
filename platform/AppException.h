#pragma once

#include <exception>
#include <memory>
#include <string>

// Root of the program's own exceptions. Copying never throws: the text is shared, not copied.
class AppException : public std::exception {
public:
    // Callers that show the text show at most this many characters.
    static constexpr std::size_t kShownLength = 254;

    explicit AppException(std::wstring message)
        : text_(std::make_shared<const Text>(std::move(message))) {}

    const std::wstring& message() const noexcept { return text_->wide; }
    // The message as callers show it: cut to kShownLength characters, never inside a surrogate
    // pair.
    std::wstring shownMessage() const;

    // The message with every character outside ASCII shown as '?', for diagnostics.
    const char* what() const noexcept override { return text_->narrow.c_str(); }

private:
    struct Text {
        explicit Text(std::wstring message) : wide(std::move(message)) {
            narrow.reserve(wide.size());
            for (wchar_t c : wide)
                narrow.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : '?');
        }
        std::wstring wide;
        std::string narrow;
    };
    std::shared_ptr<const Text> text_;
};

inline std::wstring AppException::shownMessage() const {
    const std::wstring& text = message();
    if (text.size() <= kShownLength)
        return text;
    std::size_t length = kShownLength;
    const wchar_t last = text[length - 1];
    if (last >= 0xD800 && last <= 0xDBFF)
        --length;
    return text.substr(0, length);
}
