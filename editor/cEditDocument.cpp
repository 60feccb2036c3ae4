#include "editor/cEditDocument.h"

#include <algorithm>
#include <utility>

namespace {

// Grows a too small pixelate area to a whole block around its centre, then keeps it inside the
// image; an image smaller than a block is pixelated whole.
stEditRect pixelateArea(stEditRect area, const stEditRect& image) {
    const int block = cEditDocument::kMinPixelateBlock;
    if (area.width() < block) {
        area.left -= (block - area.width()) / 2;
        area.right = area.left + block;
    }
    if (area.height() < block) {
        area.top -= (block - area.height()) / 2;
        area.bottom = area.top + block;
    }
    if (area.left < image.left)
        area = {image.left, area.top, image.left + area.width(), area.bottom};
    if (area.top < image.top)
        area = {area.left, image.top, area.right, image.top + area.height()};
    if (area.right > image.right)
        area = {image.right - area.width(), area.top, image.right, area.bottom};
    if (area.bottom > image.bottom)
        area = {area.left, image.bottom - area.height(), area.right, image.bottom};
    return intersect(area, image);
}

} // namespace

cEditDocument::cEditDocument(stEditImage original) : original_(std::move(original)) {
    now_.crop = original_.bounds();
}

bool cEditDocument::edited() const {
    return !now_.shapes.empty() || !(now_.crop == original_.bounds());
}

bool cEditDocument::add(stShape shape) {
    if (shape.points.empty())
        return false;
    if (!isFreehand(shape.kind))
        shape.points = {shape.points.front(), shape.points.back()};
    if (shape.kind == ShapeKind::Pixelate) {
        const stEditRect area = pixelateArea(shape.pointBounds(), original_.bounds());
        if (area.empty())
            return false;
        shape.points = {{area.left, area.top}, {area.right - 1, area.bottom - 1}};
    }
    State next = now_;
    next.shapes.push_back(std::move(shape));
    return commit(std::move(next));
}

bool cEditDocument::move(std::size_t index, int dx, int dy) {
    if (index >= now_.shapes.size() || (dx == 0 && dy == 0))
        return false;
    State next = now_;
    stShape& shape = next.shapes[index];
    // A pixelate area's colours come from around it: moved, it is computed afresh there.
    for (stEditPoint& p : shape.points)
        p = {p.x + dx, p.y + dy};
    if (shape.kind == ShapeKind::Pixelate) {
        const stEditRect area = pixelateArea(shape.pointBounds(), original_.bounds());
        if (area.empty())
            return false;
        shape.points = {{area.left, area.top}, {area.right - 1, area.bottom - 1}};
    }
    return commit(std::move(next));
}

bool cEditDocument::remove(std::size_t index) {
    if (index >= now_.shapes.size())
        return false;
    State next = now_;
    next.shapes.erase(next.shapes.begin() + static_cast<std::ptrdiff_t>(index));
    return commit(std::move(next));
}

bool cEditDocument::cropTo(const stEditRect& rect) {
    State next = now_;
    next.crop = intersect(now_.crop, rect);
    if (next.crop.empty())
        return false;
    return commit(std::move(next));
}

bool cEditDocument::commit(State next) {
    if (next == now_)
        return false;
    undo_.push_back(std::move(now_));
    now_ = std::move(next);
    redo_.clear();
    ++revision_;
    return true;
}

bool cEditDocument::undo() {
    if (undo_.empty())
        return false;
    redo_.push_back(std::move(now_));
    now_ = std::move(undo_.back());
    undo_.pop_back();
    ++revision_;
    return true;
}

bool cEditDocument::redo() {
    if (redo_.empty())
        return false;
    undo_.push_back(std::move(now_));
    now_ = std::move(redo_.back());
    redo_.pop_back();
    ++revision_;
    return true;
}

int cEditDocument::shapeAt(stEditPoint point) const {
    for (std::size_t i = now_.shapes.size(); i-- > 0;) {
        const stShape& shape = now_.shapes[i];
        stEditRect area = shape.pointBounds();
        // Text and steps reach beyond their one point; the widths here are generous on purpose.
        const int reach = shape.width + 4;
        const int textReach = shape.kind == ShapeKind::Text
                                  ? static_cast<int>(shape.text.size()) * (shape.width * 4 + 20)
                                  : 0;
        const int stepReach = shape.kind == ShapeKind::Step ? 4 * shape.width + 14 : 0;
        area = {area.left - reach - stepReach, area.top - reach - stepReach,
                area.right + reach + stepReach + textReach,
                area.bottom + reach + stepReach + (textReach ? 4 * shape.width + 24 : 0)};
        if (area.contains(point))
            return static_cast<int>(i);
    }
    return -1;
}

int cEditDocument::nextStepNumber() const {
    int highest = 0;
    for (const stShape& shape : now_.shapes)
        if (shape.kind == ShapeKind::Step)
            highest = std::max(highest, shape.number);
    return highest + 1;
}
