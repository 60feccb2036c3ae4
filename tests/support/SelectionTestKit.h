#pragma once

#include "capture/cFrame.h"

#include <windows.h>

#include <string>

// Helpers of the tests that drive the region selection window.
namespace SelectionTestKit {

// The selection window of this thread while it is shown, else null.
HWND shownSelectionWindow();
// A pattern in which every pixel of a 256 x 256 block differs from its neighbours, and which is
// never pure red (the outline's colour): red = x, green = y, blue = 7 + 16 * block.
void paintPattern(HDC dc, int width, int height);
COLORREF patternColour(int x, int y);

// The colour at (x, y) of a frame, y counted from the top of the image.
COLORREF pixelAt(const cFrame& frame, int x, int y);
// Compares the frame with the part of reference that starts at (left, top); describes the first
// difference, or returns an empty string.
std::string differenceFrom(const cFrame& frame, const cFrame& reference, int left, int top);

// Writes the frame as a 24-bit BMP file for a person to look at.
void saveBitmap(const cFrame& frame, const std::wstring& path);

} // namespace SelectionTestKit
