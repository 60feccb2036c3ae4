#pragma once

#include <windows.h>

// A system message box with the buttons "是" and "否" whatever the system's language: the
// program's own texts are Chinese, and a box asking in Chinese must not answer in another one.
// Gives true for 是, the default button (Enter).
bool askYesNo(HWND owner, const wchar_t* text, const wchar_t* caption) noexcept;
