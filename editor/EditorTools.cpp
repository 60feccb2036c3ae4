#include "editor/EditorTools.h"

bool toolForKey(wchar_t key, EditorTool& tool) {
    for (const stToolInfo& info : kTools)
        if (info.key != 0 && info.key == key) {
            tool = info.tool;
            return true;
        }
    return false;
}

bool shapeKindOf(EditorTool tool, ShapeKind& kind) {
    switch (tool) {
    case EditorTool::Rectangle:
        kind = ShapeKind::Rectangle;
        return true;
    case EditorTool::Ellipse:
        kind = ShapeKind::Ellipse;
        return true;
    case EditorTool::Arrow:
        kind = ShapeKind::Arrow;
        return true;
    case EditorTool::Line:
        kind = ShapeKind::Line;
        return true;
    case EditorTool::Pen:
        kind = ShapeKind::Pen;
        return true;
    case EditorTool::Highlighter:
        kind = ShapeKind::Highlighter;
        return true;
    case EditorTool::Text:
        kind = ShapeKind::Text;
        return true;
    case EditorTool::Step:
        kind = ShapeKind::Step;
        return true;
    case EditorTool::RedactBox:
        kind = ShapeKind::RedactBox;
        return true;
    case EditorTool::Pixelate:
        kind = ShapeKind::Pixelate;
        return true;
    default:
        return false;
    }
}

std::size_t widthIndexAfter(std::size_t index, bool thicker) {
    if (thicker)
        return index + 1 < kWidthCount ? index + 1 : index;
    return index > 0 ? index - 1 : 0;
}
