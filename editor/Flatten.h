#pragma once

#include "editor/EditImage.h"
#include "editor/cEditDocument.h"
#include "editor/stShape.h"

#include <vector>

// Draws the shapes that the platform draws (outlines, lines, text, steps) into an image.
class IShapePainter {
public:
    virtual void paint(stEditImage& image, const stShape& shape) = 0;

protected:
    ~IShapePainter() = default;
};

// The one flat image that leaves the editor: the kept part of the original, then each shape in
// drawing order, each on what the ones before it made. Shapes are moved into the kept part's
// coordinates first, so nothing outside it takes part, not even in a pixelate colour. Without a
// painter the platform's shapes are left out.
stEditImage flatten(const stEditImage& original, const stEditRect& crop,
                    const std::vector<stShape>& shapes, IShapePainter* painter);
stEditImage flattenDocument(const cEditDocument& document, IShapePainter* painter);

// Draws one shape, already in the image's coordinates, as flattening does.
void applyShape(stEditImage& image, const stShape& shape, IShapePainter* painter);

// A shape moved by (dx, dy).
stShape movedShape(stShape shape, int dx, int dy);
