#pragma once

#include "output/cGdiplusWriter.h"

class cPngWriter : public cGdiplusWriter {
public:
    // ImageFormatPNG
    static constexpr GUID kImageFormat{
        0xB96B3CAF, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

    cPngWriter() noexcept : cGdiplusWriter(kImageFormat) {}
};
