#pragma once

#include "capture/SelectionGeometry.h"
#include "capture/cFrame.h"
#include "platform/Handles.h"

#include <windows.h>

#include <string>

// Draws the selection window's picture, one area at a time: the frozen frame and, over it, the
// outline, the size label and the magnifier. An area with helpers in it is composed in a back
// buffer of the area's size and copied to the window in one piece, so nothing flickers and no
// copy of the whole screen is made.
class OverlayPainter {
public:
    struct Scene {
        SelectionRect outline; // empty: none
        SelectionRect label;   // empty: none
        std::wstring labelText;
        SelectionRect magnifier; // empty: none
        SelectionPoint pointer;  // the magnified pixel, in frame pixels
        std::wstring pointText;
        std::wstring colourText;
    };

    explicit OverlayPainter(const cFrame& frame) noexcept : frame_(frame) {}

    // The size a text of the label takes, padding included.
    SIZE labelSize(HWND window, const std::wstring& text) const noexcept;
    // Paints the area (frame pixels, which are the window's client pixels) of the scene.
    void paint(HDC window, const SelectionRect& area, const Scene& scene) noexcept;

    // The rectangles that cover what the scene draws; a change repaints only these.
    static int sceneParts(const Scene& scene, SelectionRect (&parts)[6]) noexcept;

private:
    void compose(HDC window, const SelectionRect& area, const Scene& scene) noexcept;
    void drawFrame(HDC dc, const SelectionRect& area) const noexcept;
    void drawOutline(HDC dc, const SelectionRect& outline) const noexcept;
    void drawLabel(HDC dc, const Scene& scene) const noexcept;
    void drawMagnifier(HDC dc, const Scene& scene) const noexcept;
    bool bufferFor(HDC window, int width, int height) noexcept;

    const cFrame& frame_;
    // The bitmap is declared first so that the DC holding it goes first.
    UniqueBitmap bufferBitmap_;
    UniqueMemoryDC buffer_;
    int bufferWidth_ = 0;
    int bufferHeight_ = 0;
};
