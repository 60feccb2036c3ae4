#pragma once

#include "capture/SelectionGeometry.h"
#include "capture/cFrame.h"

#include <array>
#include <string>

// Where the selection window draws its helpers, in snapshot pixels, and what they say. Nothing
// here draws: the window paints what these decide.
namespace OverlayLayout {

// The magnifier: kMagnifiedSide x kMagnifiedSide snapshot pixels around the pointer, each drawn
// kZoom x kZoom, inside a one-pixel border, above two lines of text.
constexpr int kMagnifiedSide = 15;
constexpr int kZoom = 8;
constexpr int kMagnifierSide = kMagnifiedSide * kZoom; // 120
constexpr int kMagnifierInfoHeight = 34;
constexpr int kMagnifierWidth = kMagnifierSide + 2;
constexpr int kMagnifierHeight = kMagnifierSide + 2 + kMagnifierInfoHeight;
// Between the pointer and the magnifier, and between the outline and the size label.
constexpr int kGap = 20;
constexpr int kLabelGap = 4;

// The magnifier's box: below right of the pointer, on the other side of it where that would leave
// the screen, and inside the screen in any case.
SelectionRect magnifierBox(SelectionPoint pointer, const SelectionRect& screen) noexcept;
// The size label's box, labelWidth x labelHeight: above the outline's top-left corner, inside the
// outline where there is no room above, and inside the screen in any case.
SelectionRect sizeLabelBox(const SelectionRect& outline, int labelWidth, int labelHeight,
                           const SelectionRect& screen) noexcept;
// The pointer after an arrow key: dx, dy are -1, 0 or 1, ten times that with Shift; it stays on the
// screen.
SelectionPoint movedByKey(SelectionPoint pointer, int dx, int dy, bool shift,
                          const SelectionRect& screen) noexcept;

// "W × H".
std::wstring sizeText(int width, int height);
// "x, y" of a screen point and "#RRGGBB" of a colour.
std::wstring pointText(SelectionPoint onScreen);
std::wstring colourText(unsigned char red, unsigned char green, unsigned char blue);

// The magnified square's pixels in the frame's layout (blue, green, red; rows bottom-up, each
// kMagnifiedSide * 3 bytes padded to 4), centred on the pixel; parts off the frame are black.
using MagnifiedPixels =
    std::array<unsigned char, cFrame::strideFor(kMagnifiedSide) * kMagnifiedSide>;
MagnifiedPixels magnifiedPixels(const cFrame& frame, SelectionPoint centre) noexcept;
// One pixel of the frame, top-down coordinates inside it: blue, green, red.
const unsigned char* framePixelAt(const cFrame& frame, SelectionPoint at) noexcept;

} // namespace OverlayLayout
