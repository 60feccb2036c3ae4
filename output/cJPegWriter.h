#pragma once

#include "output/cGdiplusWriter.h"

class cJPegWriter : public cGdiplusWriter {
public:
    // ImageFormatJPEG
    static constexpr GUID kImageFormat{
        0xB96B3CAE, 0x0728, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

    cJPegWriter() noexcept : cGdiplusWriter(kImageFormat) {}
};
