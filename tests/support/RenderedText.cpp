#include "support/RenderedText.h"

#include "support/TestImages.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <memory>

namespace RenderedText {

namespace {

int distance(COLORREF a, COLORREF b) {
    return std::abs(GetRValue(a) - GetRValue(b)) + std::abs(GetGValue(a) - GetGValue(b)) +
           std::abs(GetBValue(a) - GetBValue(b));
}

struct DcDeleter {
    void operator()(HDC dc) const { ::DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(void* object) const { ::DeleteObject(static_cast<HGDIOBJ>(object)); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
template <typename Handle>
using UniqueObject = std::unique_ptr<std::remove_pointer_t<Handle>, ObjectDeleter>;

} // namespace

std::size_t InkMask::inkCount() const {
    return static_cast<std::size_t>(std::count(ink.begin(), ink.end(), true));
}

InkMask render(const std::wstring& text, const LOGFONTW& font, COLORREF ink, COLORREF background) {
    InkMask mask;
    UniqueDc dc(::CreateCompatibleDC(nullptr));
    UniqueObject<HFONT> fontHandle(::CreateFontIndirectW(&font));
    if (!dc || !fontHandle)
        return mask;
    HGDIOBJ oldFont = ::SelectObject(dc.get(), fontHandle.get());
    RECT bounds{};
    ::DrawTextW(dc.get(), text.c_str(), -1, &bounds, DT_SINGLELINE | DT_NOPREFIX | DT_CALCRECT);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = bounds.right;
    info.bmiHeader.biHeight = -bounds.bottom; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueObject<HBITMAP> bitmap(
        ::CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap && bounds.right > 0 && bounds.bottom > 0) {
        HGDIOBJ oldBitmap = ::SelectObject(dc.get(), bitmap.get());
        UniqueObject<HBRUSH> brush(::CreateSolidBrush(background));
        ::FillRect(dc.get(), &bounds, brush.get());
        ::SetTextColor(dc.get(), ink);
        ::SetBkMode(dc.get(), TRANSPARENT);
        ::DrawTextW(dc.get(), text.c_str(), -1, &bounds, DT_SINGLELINE | DT_NOPREFIX);
        ::GdiFlush();
        mask.width = bounds.right;
        mask.height = bounds.bottom;
        const auto* pixels = static_cast<const std::uint32_t*>(bits);
        for (int i = 0; i < mask.width * mask.height; ++i) {
            const std::uint32_t p = pixels[i]; // 0x00RRGGBB
            const COLORREF colour = RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
            mask.ink.push_back(distance(colour, ink) < distance(colour, background));
        }
        ::SelectObject(dc.get(), oldBitmap);
    }
    ::SelectObject(dc.get(), oldFont);
    return mask;
}

InkMask inkOf(const cFrame& frame, COLORREF ink, COLORREF background) {
    InkMask mask;
    mask.width = frame.width;
    mask.height = frame.height;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const COLORREF colour = TestImages::framePixel(frame, x, y);
            mask.ink.push_back(distance(colour, ink) < distance(colour, background));
        }
    return mask;
}

Match bestMatch(const InkMask& picture, const InkMask& pattern) {
    Match best;
    for (int top = 0; top + pattern.height <= picture.height; ++top)
        for (int left = 0; left + pattern.width <= picture.width; ++left) {
            std::size_t mismatched = 0;
            for (int y = 0; y < pattern.height && mismatched < best.mismatched; ++y)
                for (int x = 0; x < pattern.width; ++x)
                    mismatched += picture.at(left + x, top + y) != pattern.at(x, y);
            if (mismatched < best.mismatched)
                best = Match{left, top, mismatched};
        }
    return best;
}

Shown shownFromLeft(const InkMask& picture, const InkMask& pattern, const Match& at) {
    Shown shown;
    if (at.x < 0 || at.y < 0 || at.x + pattern.width > picture.width ||
        at.y + pattern.height > picture.height)
        return shown; // no placement at all
    int x = 0;
    for (; x < pattern.width; ++x) {
        std::size_t columnInk = 0;
        bool same = true;
        for (int y = 0; y < pattern.height && same; ++y) {
            same = picture.at(at.x + x, at.y + y) == pattern.at(x, y);
            columnInk += pattern.at(x, y);
        }
        if (!same)
            break;
        shown.ink += columnInk;
    }
    shown.cutClean = true;
    for (int rest = x; rest < pattern.width; ++rest)
        for (int y = 0; y < pattern.height; ++y)
            shown.cutClean = shown.cutClean && !picture.at(at.x + rest, at.y + y);
    return shown;
}

} // namespace RenderedText
