#pragma once

#include "platform/TextCut.h"

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
    // The same into the caller's buffer, zero-terminated, for reports that must not allocate.
    void copyShownMessage(wchar_t (&buffer)[kShownLength + 1]) const noexcept;

    // The message with every character outside ASCII shown as '?', for diagnostics.
    const char* what() const noexcept override { return text_->narrow.c_str(); }

private:
    std::size_t shownLength() const noexcept;

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

inline std::size_t AppException::shownLength() const noexcept {
    return cutLength(message().data(), message().size(), kShownLength);
}

inline std::wstring AppException::shownMessage() const {
    return message().substr(0, shownLength());
}

inline void AppException::copyShownMessage(wchar_t (&buffer)[kShownLength + 1]) const noexcept {
    const std::size_t length = shownLength();
    message().copy(buffer, length);
    buffer[length] = L'\0';
}
