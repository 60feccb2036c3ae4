#pragma once

#include "capture/cFrame.h"

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

// Text drawn by GDI as a window draws it, to be found again among the pixels of a screenshot.
// Both sides are reduced to ink and background, so a match does not depend on exact shades.
namespace RenderedText {

struct InkMask {
    int width = 0;
    int height = 0;
    std::vector<bool> ink; // top row first

    bool at(int x, int y) const { return ink[static_cast<std::size_t>(y) * width + x]; }
    std::size_t inkCount() const;
};

// The text in one line, without prefix processing, drawn with the font in the ink colour on the
// background colour.
InkMask render(const std::wstring& text, const LOGFONTW& font, COLORREF ink, COLORREF background);

// Each pixel of the frame that is nearer the ink colour than the background colour.
InkMask inkOf(const cFrame& frame, COLORREF ink, COLORREF background);

struct Match {
    int x = 0; // of the pattern's top-left corner in the picture
    int y = 0;
    std::size_t mismatched = static_cast<std::size_t>(-1);
};

// The placement of the pattern, wholly inside the picture, where the fewest pixels differ in kind.
Match bestMatch(const InkMask& picture, const InkMask& pattern);

// How much of the pattern the picture shows at a placement, read from the pattern's left edge: the
// inked pixels of the columns that agree exactly, up to the first column that does not. cutClean
// says that the picture has no ink at all over the rest, as when a window cuts the text off at
// its edge rather than drawing something else.
struct Shown {
    std::size_t ink = 0;
    bool cutClean = false;
};
Shown shownFromLeft(const InkMask& picture, const InkMask& pattern, const Match& at);

} // namespace RenderedText
