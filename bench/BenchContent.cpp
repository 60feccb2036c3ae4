#include "BenchContent.h"

#include "capture/FrameBitmapHeader.h"
#include "platform/Handles.h"

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Smooth random values on a coarse grid, interpolated between the grid points.
class ValueNoise {
public:
    ValueNoise(int cell, int width, int height, std::mt19937& random)
        : cell_(cell), columns_(width / cell + 2), rows_(height / cell + 2),
          values_(static_cast<std::size_t>(columns_) * rows_) {
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (float& value : values_)
            value = unit(random);
    }
    float at(int x, int y) const {
        const int cx = x / cell_;
        const int cy = y / cell_;
        const float fx = static_cast<float>(x % cell_) / cell_;
        const float fy = static_cast<float>(y % cell_) / cell_;
        const float top = lerp(value(cx, cy), value(cx + 1, cy), fx);
        const float bottom = lerp(value(cx, cy + 1), value(cx + 1, cy + 1), fx);
        return lerp(top, bottom, fy);
    }

private:
    static float lerp(float a, float b, float t) { return a + (b - a) * t; }
    float value(int x, int y) const { return values_[static_cast<std::size_t>(y) * columns_ + x]; }
    int cell_;
    int columns_;
    int rows_;
    std::vector<float> values_;
};

void paintPhoto(unsigned char* bits, std::size_t stride, int width, int height) {
    std::mt19937 random(7);
    ValueNoise coarse[3] = {
        {160, width, height, random}, {160, width, height, random}, {160, width, height, random}};
    ValueNoise fine[3] = {
        {24, width, height, random}, {24, width, height, random}, {24, width, height, random}};
    std::uniform_int_distribution<int> grain(-6, 6);
    for (int y = 0; y < height; ++y) {
        unsigned char* row = bits + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < width; ++x) {
            for (int channel = 0; channel < 3; ++channel) {
                const float value = 200.0f * coarse[channel].at(x, y) +
                                    50.0f * fine[channel].at(x, y) + grain(random);
                row[x * 3 + channel] = static_cast<unsigned char>(value < 0     ? 0
                                                                  : value > 255 ? 255
                                                                                : value);
            }
        }
    }
}

void paintText(HDC dc, int left, int width, int height) {
    RECT area{left, 0, left + width, height};
    UniqueBrush white(::CreateSolidBrush(RGB(255, 255, 255)));
    ::FillRect(dc, &area, white.get());
    HFONT font = ::CreateFontW(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                               OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, NONANTIALIASED_QUALITY,
                               DEFAULT_PITCH, L"Tahoma");
    const HGDIOBJ previousFont = ::SelectObject(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    const wchar_t* lines[] = {
        L"void cFTPOutput::startUpload(const cFrame* frame, int format, IFrameOutputUpdate* u) {",
        L"    // The copy is the only heavy work here; it needs no lock. 0123456789 ABCDEF",
        L"Lorem ipsum dolor sit amet, consectetur adipiscing elit, sed do eiusmod tempor.",
        L"2024-05-17 21:30:05  INFO  upload 17 finished in 143 ms (1,843,211 bytes) OK",
        L"    for (int row = 0; row < frame->height; ++row) copy(row * stride, stride);",
        L"The quick brown fox jumps over the lazy dog; PACK MY BOX WITH FIVE DOZEN JUGS.",
    };
    const COLORREF colours[] = {RGB(0, 0, 0), RGB(0, 0, 160), RGB(120, 0, 0), RGB(0, 100, 0)};
    int line = 0;
    for (int y = 2; y < height; y += 15, ++line) {
        ::SetTextColor(dc, colours[line % 4]);
        const wchar_t* text = lines[line % 6];
        ::ExtTextOutW(dc, left + 4 + (line % 3) * 12, y, ETO_CLIPPED, &area, text,
                      static_cast<UINT>(std::wcslen(text)), nullptr);
    }
    ::SelectObject(dc, previousFont);
    ::DeleteObject(font);
}

} // namespace

FramePtr makeScreenLikeFrame(int width, int height) {
    FramePtr frame = makeEmptyFrame();
    frame->allocate(width, height);

    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(width, height);
    void* bits = nullptr;
    UniqueBitmap canvas(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueMemoryDC dc(::CreateCompatibleDC(nullptr));
    if (!canvas || !bits || !dc)
        throw std::runtime_error("cannot create the drawing surface");
    {
        ScopedSelectObject selected(dc.get(), canvas.get());
        paintText(dc.get(), width / 2, width - width / 2, height);
        ::GdiFlush();
    }
    // Same layout as the frame: 24 bits, rows bottom-up, same stride.
    auto* pixels = static_cast<unsigned char*>(bits);
    paintPhoto(pixels, frame->stride(), width / 2, height);
    std::memcpy(frame->pixels.get(), pixels, frame->bufferSize());
    return frame;
}
