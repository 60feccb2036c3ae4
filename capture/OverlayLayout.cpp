#include "capture/OverlayLayout.h"

#include <cstdio>
#include <cstring>

namespace OverlayLayout {

namespace {

int clamped(int value, int low, int high) noexcept {
    return value < low ? low : (value > high ? high : value);
}

// Moves a box of its size so that it lies inside the screen (its top-left corner wins when the
// screen is smaller than the box).
SelectionRect keptInside(int left, int top, int width, int height,
                         const SelectionRect& screen) noexcept {
    left = clamped(left, screen.left, screen.right - width);
    top = clamped(top, screen.top, screen.bottom - height);
    if (left < screen.left)
        left = screen.left;
    if (top < screen.top)
        top = screen.top;
    return {left, top, left + width, top + height};
}

} // namespace

SelectionRect magnifierBox(SelectionPoint pointer, const SelectionRect& screen) noexcept {
    int left = pointer.x + kGap;
    int top = pointer.y + kGap;
    if (left + kMagnifierWidth > screen.right)
        left = pointer.x - kGap - kMagnifierWidth;
    if (top + kMagnifierHeight > screen.bottom)
        top = pointer.y - kGap - kMagnifierHeight;
    return keptInside(left, top, kMagnifierWidth, kMagnifierHeight, screen);
}

SelectionRect sizeLabelBox(const SelectionRect& outline, int labelWidth, int labelHeight,
                           const SelectionRect& screen) noexcept {
    int top = outline.top - kLabelGap - labelHeight;
    if (top < screen.top)
        top = outline.top + kLabelGap;
    return keptInside(outline.left, top, labelWidth, labelHeight, screen);
}

SelectionPoint movedByKey(SelectionPoint pointer, int dx, int dy, bool shift,
                          const SelectionRect& screen) noexcept {
    const int step = shift ? 10 : 1;
    return {clamped(pointer.x + dx * step, screen.left, screen.right - 1),
            clamped(pointer.y + dy * step, screen.top, screen.bottom - 1)};
}

std::wstring sizeText(int width, int height) {
    return std::to_wstring(width) + L" \u00d7 " + std::to_wstring(height);
}

std::wstring pointText(SelectionPoint onScreen) {
    return std::to_wstring(onScreen.x) + L", " + std::to_wstring(onScreen.y);
}

std::wstring colourText(unsigned char red, unsigned char green, unsigned char blue) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", red, green, blue);
    return std::wstring(text, text + 7);
}

const unsigned char* framePixelAt(const cFrame& frame, SelectionPoint at) noexcept {
    if (!frame.pixels || at.x < 0 || at.y < 0 || at.x >= frame.width || at.y >= frame.height)
        return nullptr;
    const std::size_t row = static_cast<std::size_t>(frame.height - 1 - at.y);
    return frame.pixels.get() + row * frame.stride() + static_cast<std::size_t>(at.x) * 3;
}

MagnifiedPixels magnifiedPixels(const cFrame& frame, SelectionPoint centre) noexcept {
    MagnifiedPixels square{};
    constexpr int half = kMagnifiedSide / 2;
    constexpr std::size_t stride = cFrame::strideFor(kMagnifiedSide);
    for (int y = 0; y < kMagnifiedSide; ++y) {
        unsigned char* row =
            square.data() + static_cast<std::size_t>(kMagnifiedSide - 1 - y) * stride;
        for (int x = 0; x < kMagnifiedSide; ++x) {
            const unsigned char* source =
                framePixelAt(frame, {centre.x - half + x, centre.y - half + y});
            if (source)
                std::memcpy(row + static_cast<std::size_t>(x) * 3, source, 3);
        }
    }
    return square;
}

} // namespace OverlayLayout
