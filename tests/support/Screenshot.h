#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of a window (frame included) as a PNG file of that name in the
// artifact folder, for a person to look at; false when it could not be grabbed or written.
bool saveWindowScreenshot(HWND window, const std::wstring& fileName);
