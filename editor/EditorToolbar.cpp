#include "editor/EditorToolbar.h"

#include "editor/EditorView.h"
#include "platform/Handles.h"

#include <string>

namespace {

constexpr int kToolWidth = 60;
constexpr int kColourWidth = 26;
constexpr int kWidthWidth = 30;
constexpr std::size_t kCells = kToolCount + kColourCount + kWidthCount;

} // namespace

EditorToolbar::Cell EditorToolbar::cell(std::size_t n) {
    const int h = EditorView::kToolbarHeight;
    Cell c;
    if (n < kToolCount) {
        c = {CellKind::Tool, n, {}};
        c.rect = {static_cast<LONG>(n) * kToolWidth, 0, static_cast<LONG>(n + 1) * kToolWidth, h};
        return c;
    }
    const int toolsEnd = static_cast<int>(kToolCount) * kToolWidth + 8;
    n -= kToolCount;
    if (n < kColourCount) {
        const int left = toolsEnd + static_cast<int>(n) * kColourWidth;
        return {CellKind::Colour, n, {left, 0, left + kColourWidth, h}};
    }
    n -= kColourCount;
    const int left = toolsEnd + static_cast<int>(kColourCount) * kColourWidth + 8 +
                     static_cast<int>(n) * kWidthWidth;
    return {CellKind::Width, n, {left, 0, left + kWidthWidth, h}};
}

int EditorToolbar::width() {
    return cell(kCells - 1).rect.right + 4;
}

EditorToolbar::Cell EditorToolbar::cellAt(POINT at) {
    for (std::size_t n = 0; n < kCells; ++n) {
        const Cell c = cell(n);
        if (::PtInRect(&c.rect, at))
            return c;
    }
    return {};
}

void EditorToolbar::choose(const Cell& c, cEditorSession& session) {
    switch (c.kind) {
    case CellKind::Tool:
        session.chooseTool(kTools[c.index].tool);
        break;
    case CellKind::Colour:
        session.chooseColour(c.index);
        break;
    case CellKind::Width:
        session.chooseWidth(c.index);
        break;
    default:
        break;
    }
}

void EditorToolbar::paint(HDC dc, const RECT& client, const cEditorSession& session) {
    RECT strip{0, 0, client.right, EditorView::kToolbarHeight};
    ::FillRect(dc, &strip, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
    ::SetBkMode(dc, TRANSPARENT);
    ScopedSelectObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    for (std::size_t n = 0; n < kCells; ++n) {
        const Cell c = cell(n);
        RECT r = c.rect;
        bool chosen = false;
        if (c.kind == CellKind::Tool) {
            chosen = kTools[c.index].tool == session.tool();
            ::DrawEdge(dc, &r, chosen ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            ::DrawTextW(dc, kTools[c.index].label, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        } else if (c.kind == CellKind::Colour) {
            chosen = c.index == session.colourIndex();
            ::DrawEdge(dc, &r, chosen ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            const stEditColour k = kColours[c.index];
            UniqueBrush swatch(::CreateSolidBrush(RGB(k.red, k.green, k.blue)));
            RECT inner{r.left + 5, r.top + 7, r.right - 5, r.bottom - 7};
            ::FillRect(dc, &inner, swatch.get());
        } else {
            chosen = c.index == session.widthIndex();
            ::DrawEdge(dc, &r, chosen ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
            const std::wstring label = std::to_wstring(kWidths[c.index]);
            ::DrawTextW(dc, label.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        }
    }
}
