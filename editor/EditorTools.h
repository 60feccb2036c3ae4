#pragma once

#include "editor/EditImage.h"
#include "editor/stShape.h"

#include <cstddef>

// The editor's tools, colours and line widths, and the keys that choose them.
enum class EditorTool {
    Rectangle,
    Ellipse,
    Arrow,
    Line,
    Pen,
    Highlighter,
    Text,
    Step,
    RedactBox,
    Pixelate,
    Crop,
    Select, // moves shapes; chosen by no key, only on the toolbar
};

struct stToolInfo {
    EditorTool tool;
    wchar_t key;          // the letter key that chooses it; 0 for none
    const wchar_t* label; // its toolbar button's caption
};

// In toolbar order.
constexpr stToolInfo kTools[] = {
    {EditorTool::Select, 0, L"移动"},           {EditorTool::Rectangle, L'R', L"R 框"},
    {EditorTool::Ellipse, L'E', L"E 圆"},       {EditorTool::Arrow, L'A', L"A 箭头"},
    {EditorTool::Line, L'L', L"L 线"},          {EditorTool::Pen, L'P', L"P 笔"},
    {EditorTool::Highlighter, L'H', L"H 荧光"}, {EditorTool::Text, L'T', L"T 文字"},
    {EditorTool::Step, L'N', L"N 序号"},        {EditorTool::RedactBox, L'B', L"B 涂黑"},
    {EditorTool::Pixelate, L'X', L"X 马赛克"},  {EditorTool::Crop, L'C', L"C 裁剪"},
};
constexpr std::size_t kToolCount = sizeof(kTools) / sizeof(kTools[0]);

// The tool of a letter key (upper case), or false when the key chooses none.
bool toolForKey(wchar_t key, EditorTool& tool);
// The shape a drawing tool makes; false for Crop and Select, which make none.
bool shapeKindOf(EditorTool tool, ShapeKind& kind);

// The colour row, red first (the default).
constexpr stEditColour kColours[] = {
    {255, 0, 0}, {255, 255, 0}, {0, 160, 0}, {0, 0, 255}, {0, 0, 0}, {255, 255, 255},
};
constexpr std::size_t kColourCount = sizeof(kColours) / sizeof(kColours[0]);
constexpr int kWidths[] = {2, 4, 8};
constexpr std::size_t kWidthCount = sizeof(kWidths) / sizeof(kWidths[0]);

// The width index after [ (thinner) or ] (thicker), staying within the row.
std::size_t widthIndexAfter(std::size_t index, bool thicker);

// Sizes that follow the line width.
inline int highlighterRadius(int width) {
    return 6 + width * 2;
}
inline int textHeight(int width) {
    return 14 + width * 3;
}
inline int stepRadius(int width) {
    return 10 + width * 2;
}
