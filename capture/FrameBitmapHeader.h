#pragma once

#include <windows.h>

// Describes a frame's layout to GDI (GetDIBits, SetDIBits, DIB sections, the clipboard's DIB):
// 24 bits, bottom-up rows.
inline BITMAPINFOHEADER frameBitmapHeader(int width, int height) noexcept {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    return header;
}
