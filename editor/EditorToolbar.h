#pragma once

#include "editor/cEditorSession.h"

#include <windows.h>

// The strip above the image: a cell for each tool, colour and width, the chosen ones pressed in.
class EditorToolbar {
public:
    enum class CellKind { None, Tool, Colour, Width };
    struct Cell {
        CellKind kind = CellKind::None;
        std::size_t index = 0;
        RECT rect{};
    };

    // The cell at a window point; kind None when there is none.
    static Cell cellAt(POINT at);
    static int width();
    static void paint(HDC dc, const RECT& client, const cEditorSession& session);
    // What a click on the cell chooses.
    static void choose(const Cell& cell, cEditorSession& session);

private:
    static Cell cell(std::size_t n);
};
