#pragma once

#include "editor/EditImage.h"

#include <vector>

// The pixel work of the editor that needs no platform drawing: exact on every platform, so the
// redaction can be tested and fuzzed natively.

// Solid fill of the part of the rectangle inside the image.
void fillRect(stEditImage& image, const stEditRect& rect, stEditColour colour);

// Covers the area with blocks of at least minBlock x minBlock pixels (the whole area when it is
// smaller), each of one colour computed only from the one-pixel ring just outside the area, so
// nothing of what the area showed is left in it or can be worked back from it. The ring's pixels
// nearer a block count more. With no ring at all (the area is the whole image) the blocks are
// mid grey.
void pixelate(stEditImage& image, const stEditRect& area, int minBlock);

// What the highlighter multiplies with: translucent yellow.
constexpr stEditColour kHighlighterColour{255, 240, 90};
// Every pixel within radius of the stroke is multiplied once with kHighlighterColour, where
// strokes overlap too: dark text stays dark, white turns yellow.
void highlight(stEditImage& image, const std::vector<stEditPoint>& stroke, int radius);

// The part of the image inside the rectangle, as an image of its own.
stEditImage cropImage(const stEditImage& image, const stEditRect& rect);
