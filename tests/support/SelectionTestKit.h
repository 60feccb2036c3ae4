#pragma once

#include "capture/cFrame.h"
#include "support/InputScript.h"
#include "support/PaintedWindow.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

// Helpers of the tests that drive the region selection window.
namespace SelectionTestKit {

// Where the pattern window stands: the known content under every drag of these tests.
inline const RECT kPatternRect{40, 140, 760, 560};

// The selection window of this thread while it is shown, else null.
HWND shownSelectionWindow();
// Ends any selection window, so that a test whose script timed out does not hang.
void endSelectionWindow();
// Appends to the script: wait for the selection window, press at one point, move to the other,
// release.
void dragSelection(InputScript& script, int fromX, int fromY, int toX, int toY);
// A pattern in which every pixel of a 256 x 256 block differs from its neighbours, and which is
// never pure red (the outline's colour): red = x, green = y, blue = 7 + 16 * block.
void paintPattern(HDC dc, int width, int height);
COLORREF patternColour(int x, int y);

// True when every pixel of the screen at kPatternRect shows the pattern.
bool patternShown();
// Compares the frame with the part of reference that starts at (left, top); describes the first
// difference, or returns an empty string.
std::string differenceFrom(const cFrame& frame, const cFrame& reference, int left, int top);

// Writes the frame as a 24-bit BMP file for a person to look at.
void saveBitmap(const cFrame& frame, const std::wstring& path);

// Tests that drive the selection window over the pattern. The pattern window stays up for the whole
// suite; each test starts once the input of earlier tests is handled and the screen shows the
// pattern again, and ends with every button and key let go.
class PatternScreenTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    static bool inputSettled();
    // Waits for the selection window, then presses at one point, moves to the other and releases.
    void drag(int fromX, int fromY, int toX, int toY) {
        dragSelection(script, fromX, fromY, toX, toY);
    }

    static PaintedWindow* pattern;
    InputScript script;
};

} // namespace SelectionTestKit
