#include "editor/GdiShapePainter.h"

#include "capture/FrameBitmapHeader.h"
#include "editor/EditorTools.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

int CALLBACK noteFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool fontInstalled(const wchar_t* face) {
    WindowDC screen = WindowDC::ofClient(nullptr);
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, face, LF_FACESIZE - 1);
    bool found = false;
    ::EnumFontFamiliesExW(screen.get(), &wanted, noteFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

COLORREF colourRef(stEditColour c) {
    return RGB(c.red, c.green, c.blue);
}

std::vector<POINT> windowPoints(const stShape& shape) {
    std::vector<POINT> points;
    for (const stEditPoint& p : shape.points)
        points.push_back({p.x, p.y});
    return points;
}

} // namespace

UniqueFont GdiShapePainter::makeFont(int height, bool bold) const {
    // Looked up at the first text drawn, not when the program starts.
    static const wchar_t* const face = [] {
        for (const wchar_t* candidate : {L"Microsoft YaHei", L"微软雅黑", L"SimSun",
                                         L"WenQuanYi Micro Hei", L"Droid Sans Fallback"})
            if (fontInstalled(candidate))
                return candidate;
        return L"Microsoft YaHei"; // the font mapper picks what comes nearest
    }();
    return UniqueFont(::CreateFontW(-height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                    FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                    ANTIALIASED_QUALITY, DEFAULT_PITCH, face));
}

stEditRect GdiShapePainter::reach(const stShape& shape) const {
    stEditRect box = shape.pointBounds();
    if (shape.kind == ShapeKind::Text && !shape.points.empty()) {
        UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
        UniqueFont font = makeFont(textHeight(shape.width), false);
        SIZE size{};
        if (dc) {
            ScopedSelectObject useFont(dc.get(), font.get());
            ::GetTextExtentPoint32W(dc.get(), shape.text.c_str(),
                                    static_cast<int>(shape.text.size()), &size);
        }
        const stEditPoint at = shape.points.front();
        // Generous: italic overhang and antialiasing reach past the measured box.
        box = {at.x, at.y, at.x + size.cx + size.cy, at.y + size.cy * 2};
    }
    // The pen's half width, an arrow's head, a step's circle.
    const int margin = 4 * shape.width + 16 + stepRadius(shape.width);
    return {box.left - margin, box.top - margin, box.right + margin, box.bottom + margin};
}

void GdiShapePainter::paint(stEditImage& image, const stShape& shape) {
    // Only the part the shape can reach goes through GDI: a 4K image copied whole for every
    // shape would cost more than the capture.
    const stEditRect part = intersect(reach(shape), image.bounds());
    if (part.empty())
        return;
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(part.width(), part.height()); // the image's layout
    void* bits = nullptr;
    UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!section || !dc || !bits)
        return;
    const std::size_t stride = stEditImage::strideFor(part.width());
    const std::size_t rowBytes = static_cast<std::size_t>(part.width()) * 3;
    auto sectionRow = [&](int y) {
        return static_cast<std::uint8_t*>(bits) +
               static_cast<std::size_t>(part.bottom - 1 - y) * stride;
    };
    for (int y = part.top; y < part.bottom; ++y)
        std::memcpy(sectionRow(y), image.at(part.left, y), rowBytes);
    {
        ScopedSelectObject selected(dc.get(), section.get());
        ::SetViewportOrgEx(dc.get(), -part.left, -part.top, nullptr);
        draw(dc.get(), shape);
        ::GdiFlush();
    }
    for (int y = part.top; y < part.bottom; ++y)
        std::memcpy(image.at(part.left, y), sectionRow(y), rowBytes);
}

void GdiShapePainter::draw(HDC dc, const stShape& shape) {
    const COLORREF colour = colourRef(shape.colour);
    UniquePen pen(::CreatePen(PS_SOLID, shape.width, colour));
    UniqueBrush fill(::CreateSolidBrush(colour));
    ScopedSelectObject usePen(dc, pen.get());
    ScopedSelectObject noFill(dc, ::GetStockObject(NULL_BRUSH));
    const std::vector<POINT> p = windowPoints(shape);
    if (p.empty())
        return;
    const stEditRect box = shape.pointBounds();
    switch (shape.kind) {
    case ShapeKind::Rectangle:
        ::Rectangle(dc, box.left, box.top, box.right, box.bottom);
        break;
    case ShapeKind::Ellipse:
        ::Ellipse(dc, box.left, box.top, box.right, box.bottom);
        break;
    case ShapeKind::Line:
    case ShapeKind::Arrow: {
        ::MoveToEx(dc, p.front().x, p.front().y, nullptr);
        ::LineTo(dc, p.back().x, p.back().y);
        if (shape.kind == ShapeKind::Line)
            break;
        const double angle = std::atan2(p.back().y - p.front().y, p.back().x - p.front().x);
        const double length = 4.0 * shape.width + 10;
        POINT head[3] = {p.back()};
        for (int side = 0; side < 2; ++side) {
            const double a = angle + (side ? 0.45 : -0.45) + 3.14159265358979;
            head[side + 1] = {p.back().x + static_cast<LONG>(std::lround(length * std::cos(a))),
                              p.back().y + static_cast<LONG>(std::lround(length * std::sin(a)))};
        }
        ScopedSelectObject headFill(dc, fill.get());
        ::Polygon(dc, head, 3);
        break;
    }
    case ShapeKind::Pen:
        if (p.size() == 1)
            ::SetPixel(dc, p[0].x, p[0].y, colour);
        ::Polyline(dc, p.data(), static_cast<int>(p.size()));
        break;
    case ShapeKind::Text: {
        UniqueFont font = makeFont(textHeight(shape.width), false);
        ScopedSelectObject useFont(dc, font.get());
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, colour);
        ::TextOutW(dc, p[0].x, p[0].y, shape.text.c_str(), static_cast<int>(shape.text.size()));
        break;
    }
    case ShapeKind::Step: {
        const int r = stepRadius(shape.width);
        ScopedSelectObject circleFill(dc, fill.get());
        ::Ellipse(dc, p[0].x - r, p[0].y - r, p[0].x + r + 1, p[0].y + r + 1);
        UniqueFont font = makeFont(r * 5 / 4, true);
        ScopedSelectObject useFont(dc, font.get());
        ::SetBkMode(dc, TRANSPARENT);
        // Dark figures on the light colours, white on the others.
        const bool light = shape.colour.red + shape.colour.green + shape.colour.blue > 500;
        ::SetTextColor(dc, light ? RGB(0, 0, 0) : RGB(255, 255, 255));
        RECT cell{p[0].x - r, p[0].y - r, p[0].x + r + 1, p[0].y + r + 1};
        const std::wstring number = std::to_wstring(shape.number);
        ::DrawTextW(dc, number.c_str(), -1, &cell, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        break;
    }
    default:
        break;
    }
}
