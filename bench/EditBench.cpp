#include "EditBench.h"

#include "BenchClock.h"
#include "BenchContent.h"

#include "editor/EditorFrame.h"
#include "editor/Flatten.h"
#include "editor/GdiShapePainter.h"
#include "editor/cEditDocument.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

stShape shape(ShapeKind kind, std::vector<stEditPoint> points, const wchar_t* text = L"") {
    stShape s;
    s.kind = kind;
    s.colour = {255, 0, 0};
    s.width = 4;
    s.points = std::move(points);
    s.text = text;
    s.number = 1;
    return s;
}

void report(const wchar_t* label, std::vector<double> ms, int width, int height) {
    if (ms.empty())
        return;
    std::sort(ms.begin(), ms.end());
    std::wprintf(L"EDIT\t%ls\t%dx%d\t%.2f\t%.2f\n", label, width, height, ms.front(),
                 ms[ms.size() / 2]);
    std::fflush(stdout);
}

void time(const wchar_t* label, const cEditDocument& document, GdiShapePainter& painter, int width,
          int height, int runs) {
    std::vector<double> ms;
    for (int round = 0; round <= runs; ++round) {
        const double start = nowMs();
        const FramePtr sent = frameOf(flattenDocument(document, &painter));
        const double took = nowMs() - start;
        if (round > 0 && sent->pixels)
            ms.push_back(took);
    }
    report(label, ms, width, height);
}

} // namespace

void benchEditSend(int width, int height, int runs) {
    const FramePtr capture = makeScreenLikeFrame(width, height);
    cEditDocument document(editImageOf(*capture));
    document.add(shape(ShapeKind::RedactBox, {{100, 100}, {600, 160}}));
    document.add(shape(ShapeKind::Pixelate, {{800, 300}, {1400, 500}}));
    document.add(shape(ShapeKind::Rectangle, {{50, 50}, {2000, 1200}}));
    document.add(shape(ShapeKind::Ellipse, {{1500, 600}, {1900, 900}}));
    document.add(shape(ShapeKind::Arrow, {{2500, 1500}, {2100, 1250}}));
    document.add(shape(ShapeKind::Text, {{300, 1400}}, L"这里 Pixlance"));
    document.add(shape(ShapeKind::Step, {{2600, 1600}}));
    document.add(shape(ShapeKind::Highlighter, {{200, 1800}, {900, 1800}, {1600, 1820}}));
    GdiShapePainter painter;
    const cEditDocument untouched(editImageOf(*capture));
    time(L"the image as captured, made a frame", untouched, painter, width, height, runs);
    time(L"8 shapes flattened, made a frame", document, painter, width, height, runs);
    // What Enter costs in the editor: the image shown was flattened after the last step, and
    // the frame takes it over.
    std::vector<double> ms;
    for (int round = 0; round <= runs; ++round) {
        stEditImage shown = flattenDocument(document, &painter);
        const double start = nowMs();
        const FramePtr sent = frameOf(std::move(shown));
        const double took = nowMs() - start;
        if (round > 0 && sent->pixels)
            ms.push_back(took);
    }
    report(L"8 shapes, the shown image made the frame", ms, width, height);
}
