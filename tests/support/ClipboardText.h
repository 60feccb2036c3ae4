#pragma once

#include <string>

// The clipboard's Unicode text, for tests that check what a program copied.
namespace ClipboardText {

// The text on the clipboard; empty when there is none.
std::wstring read();
// Replaces the clipboard's contents by the text; false when the clipboard could not be had.
bool write(const std::wstring& text);

} // namespace ClipboardText
