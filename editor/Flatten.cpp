#include "editor/Flatten.h"

#include "editor/EditorTools.h"
#include "editor/PixelOps.h"

stShape movedShape(stShape shape, int dx, int dy) {
    for (stEditPoint& p : shape.points)
        p = {p.x + dx, p.y + dy};
    return shape;
}

void applyShape(stEditImage& image, const stShape& shape, IShapePainter* painter) {
    switch (shape.kind) {
    case ShapeKind::RedactBox:
        fillRect(image, shape.pointBounds(), shape.colour);
        break;
    case ShapeKind::Pixelate:
        pixelate(image, shape.pointBounds(), cEditDocument::kMinPixelateBlock);
        break;
    case ShapeKind::Highlighter:
        highlight(image, shape.points, highlighterRadius(shape.width));
        break;
    default:
        if (painter)
            painter->paint(image, shape);
        break;
    }
}

stEditImage flatten(const stEditImage& original, const stEditRect& crop,
                    const std::vector<stShape>& shapes, IShapePainter* painter) {
    stEditImage image = cropImage(original, crop);
    for (const stShape& placed : shapes)
        applyShape(image, movedShape(placed, -crop.left, -crop.top), painter);
    return image;
}

stEditImage flattenDocument(const cEditDocument& document, IShapePainter* painter) {
    return flatten(document.original(), document.crop(), document.shapes(), painter);
}
