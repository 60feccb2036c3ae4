#include "editor/cEditorSession.h"

void cEditorSession::chooseTool(EditorTool tool) {
    endText();
    drawing_.reset();
    moving_ = false;
    selected_ = -1;
    tool_ = tool;
}

void cEditorSession::chooseColour(std::size_t index) {
    if (index >= kColourCount)
        return;
    if (tool_ == EditorTool::RedactBox)
        redactColour_ = index;
    else
        colour_ = index;
    if (text_)
        text_->colour = kColours[colour_];
}

stShape cEditorSession::startShape(ShapeKind kind, stEditPoint at) const {
    stShape shape;
    shape.kind = kind;
    shape.colour = kColours[kind == ShapeKind::RedactBox ? redactColour_ : colour_];
    shape.width = width();
    shape.points = {at, at};
    return shape;
}

void cEditorSession::press(stEditPoint at) {
    // A click elsewhere ends the text; it starts nothing else.
    if (endText())
        return;
    if (tool_ == EditorTool::Select) {
        selected_ = document_.shapeAt(at);
        moving_ = selected_ >= 0;
        moveFrom_ = moveTo_ = at;
        return;
    }
    selected_ = -1;
    ShapeKind kind = ShapeKind::Rectangle;
    if (tool_ == EditorTool::Crop) {
        drawing_ = startShape(ShapeKind::Rectangle, at);
        drawing_->colour = {255, 255, 255};
        return;
    }
    if (!shapeKindOf(tool_, kind))
        return;
    if (kind == ShapeKind::Text) {
        text_ = startShape(kind, at);
        text_->points = {at};
        return;
    }
    if (kind == ShapeKind::Step) {
        stShape step = startShape(kind, at);
        step.points = {at};
        step.number = document_.nextStepNumber();
        document_.add(step);
        return;
    }
    drawing_ = startShape(kind, at);
    if (isFreehand(kind))
        drawing_->points = {at};
}

void cEditorSession::drag(stEditPoint to) {
    if (moving_) {
        moveTo_ = to;
        return;
    }
    if (!drawing_)
        return;
    if (isFreehand(drawing_->kind)) {
        if (!(drawing_->points.back() == to))
            drawing_->points.push_back(to);
    } else {
        drawing_->points.back() = to;
    }
}

void cEditorSession::release(stEditPoint at) {
    drag(at);
    if (moving_) {
        moving_ = false;
        document_.move(static_cast<std::size_t>(selected_), moveTo_.x - moveFrom_.x,
                       moveTo_.y - moveFrom_.y);
        return;
    }
    if (!drawing_)
        return;
    stShape shape = std::move(*drawing_);
    drawing_.reset();
    const stEditRect area = shape.pointBounds();
    if (tool_ == EditorTool::Crop) {
        if (area.width() > 1 && area.height() > 1)
            document_.cropTo(area);
        return;
    }
    // A click without a drag draws no box or line; a pen dot is a stroke.
    if (!isFreehand(shape.kind) && shape.points.front() == shape.points.back())
        return;
    document_.add(std::move(shape));
}

void cEditorSession::type(wchar_t c) {
    if (text_ && c >= L' ')
        text_->text.push_back(c);
}

void cEditorSession::backspace() {
    if (text_ && !text_->text.empty())
        text_->text.pop_back();
}

bool cEditorSession::endText() {
    if (!text_)
        return false;
    stShape text = std::move(*text_);
    text_.reset();
    if (!text.text.empty())
        document_.add(std::move(text));
    return true;
}

bool cEditorSession::removeSelectedOrLast() {
    const std::size_t count = document_.shapes().size();
    const std::size_t index =
        selected_ >= 0 && static_cast<std::size_t>(selected_) < count ? selected_ : count - 1;
    selected_ = -1;
    return count > 0 && document_.remove(index);
}

bool cEditorSession::undo() {
    cancelText();
    selected_ = -1;
    return document_.undo();
}

bool cEditorSession::redo() {
    cancelText();
    selected_ = -1;
    return document_.redo();
}

std::optional<stShape> cEditorSession::pending() const {
    return text_ ? text_ : drawing_;
}
