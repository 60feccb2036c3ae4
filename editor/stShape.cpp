#include "editor/stShape.h"

#include <algorithm>

stEditRect stShape::pointBounds() const {
    if (points.empty())
        return {};
    stEditRect r{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
    for (const stEditPoint& p : points) {
        r.left = std::min(r.left, p.x);
        r.top = std::min(r.top, p.y);
        r.right = std::max(r.right, p.x + 1);
        r.bottom = std::max(r.bottom, p.y + 1);
    }
    return r;
}

bool isFreehand(ShapeKind kind) {
    return kind == ShapeKind::Pen || kind == ShapeKind::Highlighter;
}
