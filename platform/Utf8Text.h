#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-8 <-> UTF-16 for the text the program keeps in its own files. Each wchar_t holds one UTF-16
// code unit, also where wchar_t is wider (the native test build), so a text means the same there.
namespace Utf8Text {

// Nothing when the bytes are not UTF-8: a stray or missing continuation byte, an overlong form,
// an encoded surrogate or a code point past U+10FFFF.
std::optional<std::wstring> toUtf16(std::string_view utf8);

// Nothing when the text is not UTF-16: a surrogate without its partner, or a unit past 0xFFFF.
std::optional<std::string> toUtf8(std::wstring_view utf16);

// As toUtf8, but each unit that is not UTF-16 becomes U+FFFD: for text that must be written
// whatever it holds, such as a file name with a lone surrogate, which Windows allows.
std::string toUtf8Replacing(std::wstring_view utf16);

} // namespace Utf8Text
