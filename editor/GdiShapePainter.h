#pragma once

#include "editor/Flatten.h"
#include "platform/Handles.h"

#include <windows.h>

// Draws outlines, lines, arrows, pen strokes, text and numbered steps with GDI, into an image
// through a DIB section of the image's own layout. Text uses "Microsoft YaHei" where the system
// has it, else the first Chinese font it has, else the system's own choice.
class GdiShapePainter : public IShapePainter {
public:
    void paint(stEditImage& image, const stShape& shape) override;

private:
    // Draws the shape on a DC whose origin is the image's top left.
    void draw(HDC dc, const stShape& shape);
    // The pixels the shape can touch, in the image's coordinates.
    stEditRect reach(const stShape& shape) const;
    UniqueFont makeFont(int height, bool bold) const;
};
