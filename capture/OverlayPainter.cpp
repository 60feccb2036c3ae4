#include "capture/OverlayPainter.h"

#include "capture/FrameBitmapHeader.h"
#include "capture/OverlayLayout.h"

namespace {

using namespace OverlayLayout;

// Areas larger than this are painted straight from the frame, with only the helpers in them
// composed first: the first paint must not wait for a copy of the whole screen.
constexpr long long kDirectArea = 256 * 256;
constexpr COLORREF kOutlineColour = RGB(255, 0, 0);
constexpr COLORREF kPanelColour = RGB(32, 32, 32);
constexpr COLORREF kTextColour = RGB(255, 255, 255);
constexpr COLORREF kGridColour = RGB(96, 96, 96);
constexpr int kLabelPaddingX = 6;
constexpr int kLabelPaddingY = 3;

void fill(HDC dc, const RECT& rect, COLORREF colour) noexcept {
    ::SetBkColor(dc, colour);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void frameRect(HDC dc, int left, int top, int right, int bottom, COLORREF colour) noexcept {
    fill(dc, RECT{left, top, right, top + 1}, colour);
    fill(dc, RECT{left, bottom - 1, right, bottom}, colour);
    fill(dc, RECT{left, top, left + 1, bottom}, colour);
    fill(dc, RECT{right - 1, top, right, bottom}, colour);
}

void text(HDC dc, int x, int y, const std::wstring& line) noexcept {
    ::TextOutW(dc, x, y, line.c_str(), static_cast<int>(line.size()));
}

} // namespace

SIZE OverlayPainter::labelSize(HWND window, const std::wstring& label) const noexcept {
    SIZE size{0, 0};
    WindowDC dc = WindowDC::ofClient(window);
    if (dc) {
        ScopedSelectObject font(dc.get(), ::GetStockObject(DEFAULT_GUI_FONT));
        ::GetTextExtentPoint32W(dc.get(), label.c_str(), static_cast<int>(label.size()), &size);
    }
    return SIZE{size.cx + 2 * kLabelPaddingX, size.cy + 2 * kLabelPaddingY};
}

int OverlayPainter::sceneParts(const Scene& scene, SelectionRect (&parts)[6]) noexcept {
    int count = 0;
    const SelectionRect& o = scene.outline;
    if (!o.empty()) {
        // The path runs along left, top and, one past the selection, right and bottom.
        parts[count++] = {o.left - 1, o.top - 1, o.right + 2, o.top + 2};
        parts[count++] = {o.left - 1, o.bottom - 1, o.right + 2, o.bottom + 2};
        parts[count++] = {o.left - 1, o.top - 1, o.left + 2, o.bottom + 2};
        parts[count++] = {o.right - 1, o.top - 1, o.right + 2, o.bottom + 2};
    }
    if (!scene.label.empty())
        parts[count++] = scene.label;
    if (!scene.magnifier.empty())
        parts[count++] = scene.magnifier;
    return count;
}

void OverlayPainter::paint(HDC window, const SelectionRect& area, const Scene& scene) noexcept {
    if (static_cast<long long>(area.width()) * area.height() <= kDirectArea) {
        compose(window, area, scene);
        return;
    }
    drawFrame(window, area);
    SelectionRect parts[6];
    const int count = sceneParts(scene, parts);
    for (int i = 0; i < count; ++i) {
        const SelectionRect part = parts[i].intersection(area);
        if (!part.empty())
            compose(window, part, scene);
    }
}

void OverlayPainter::compose(HDC window, const SelectionRect& area, const Scene& scene) noexcept {
    if (!bufferFor(window, area.width(), area.height())) {
        drawFrame(window, area); // no buffer: at least the frame, never a stale picture
        return;
    }
    HDC dc = buffer_.get();
    ::SetViewportOrgEx(dc, -area.left, -area.top, nullptr);
    drawFrame(dc, area);
    if (!scene.outline.empty())
        drawOutline(dc, scene.outline);
    if (!scene.label.empty() && scene.label.intersects(area))
        drawLabel(dc, scene);
    if (!scene.magnifier.empty() && scene.magnifier.intersects(area))
        drawMagnifier(dc, scene);
    ::BitBlt(window, area.left, area.top, area.width(), area.height(), dc, area.left, area.top,
             SRCCOPY);
    ::SetViewportOrgEx(dc, 0, 0, nullptr);
}

void OverlayPainter::drawFrame(HDC dc, const SelectionRect& area) const noexcept {
    const SelectionRect part = area.intersection({0, 0, frame_.width, frame_.height});
    if (part.empty() || !frame_.pixels)
        return;
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(frame_.width, frame_.height);
    // Rows are bottom-up: the source's y counts from the frame's last row.
    ::SetDIBitsToDevice(dc, part.left, part.top, static_cast<DWORD>(part.width()),
                        static_cast<DWORD>(part.height()), part.left, frame_.height - part.bottom,
                        0, static_cast<UINT>(frame_.height), frame_.pixels.get(), &info,
                        DIB_RGB_COLORS);
}

void OverlayPainter::drawOutline(HDC dc, const SelectionRect& o) const noexcept {
    UniquePen pen(::CreatePen(PS_DASH, 1, kOutlineColour));
    if (!pen)
        return;
    ScopedSelectObject selectPen(dc, pen.get());
    ::SetBkMode(dc, TRANSPARENT);
    ::BeginPath(dc);
    ::MoveToEx(dc, o.left, o.top, nullptr);
    ::LineTo(dc, o.left, o.bottom);
    ::LineTo(dc, o.right, o.bottom);
    ::LineTo(dc, o.right, o.top);
    ::LineTo(dc, o.left, o.top);
    ::EndPath(dc);
    ::StrokePath(dc);
}

void OverlayPainter::drawLabel(HDC dc, const Scene& scene) const noexcept {
    const SelectionRect& box = scene.label;
    fill(dc, RECT{box.left, box.top, box.right, box.bottom}, kPanelColour);
    ScopedSelectObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTextColour);
    text(dc, box.left + kLabelPaddingX, box.top + kLabelPaddingY, scene.labelText);
}

void OverlayPainter::drawMagnifier(HDC dc, const Scene& scene) const noexcept {
    const SelectionRect& box = scene.magnifier;
    fill(dc, RECT{box.left, box.top, box.right, box.bottom}, kPanelColour);
    const int left = box.left + 1;
    const int top = box.top + 1;
    const MagnifiedPixels square = magnifiedPixels(frame_, scene.pointer);
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(kMagnifiedSide, kMagnifiedSide);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    ::StretchDIBits(dc, left, top, kMagnifierSide, kMagnifierSide, 0, 0, kMagnifiedSide,
                    kMagnifiedSide, square.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    // A one-pixel grid between the enlarged pixels, and the centre pixel framed in both black and
    // white so that it shows on any colour.
    for (int i = 1; i < kMagnifiedSide; ++i) {
        fill(dc, RECT{left + i * kZoom, top, left + i * kZoom + 1, top + kMagnifierSide},
             kGridColour);
        fill(dc, RECT{left, top + i * kZoom, left + kMagnifierSide, top + i * kZoom + 1},
             kGridColour);
    }
    const int centre = kMagnifiedSide / 2 * kZoom;
    frameRect(dc, left + centre - 1, top + centre - 1, left + centre + kZoom + 2,
              top + centre + kZoom + 2, RGB(0, 0, 0));
    frameRect(dc, left + centre, top + centre, left + centre + kZoom + 1, top + centre + kZoom + 1,
              RGB(255, 255, 255));
    ScopedSelectObject font(dc, ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, kTextColour);
    const int textTop = top + kMagnifierSide + 2;
    text(dc, left + 4, textTop, scene.pointText);
    text(dc, left + 4, textTop + kMagnifierInfoHeight / 2 - 1, scene.colourText);
}

bool OverlayPainter::bufferFor(HDC window, int width, int height) noexcept {
    if (width <= 0 || height <= 0)
        return false;
    if (buffer_ && width <= bufferWidth_ && height <= bufferHeight_)
        return true;
    // Grown, never shrunk: the same buffer serves every later area of that size or less.
    const int newWidth = width > bufferWidth_ ? width : bufferWidth_;
    const int newHeight = height > bufferHeight_ ? height : bufferHeight_;
    if (!buffer_)
        buffer_.reset(::CreateCompatibleDC(window));
    UniqueBitmap bitmap(buffer_ ? ::CreateCompatibleBitmap(window, newWidth, newHeight) : nullptr);
    if (!bitmap || !::SelectObject(buffer_.get(), bitmap.get()))
        return false;
    bufferBitmap_ = std::move(bitmap); // the old one is no longer selected: it may go
    bufferWidth_ = newWidth;
    bufferHeight_ = newHeight;
    return true;
}
