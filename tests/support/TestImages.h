#pragma once

#include "capture/cFrame.h"
#include "support/TestFrames.h"

#include <windows.h>

#include <string>
#include <vector>

// Frames of known content and images decoded back, to compare what writers and outputs produce.
namespace TestImages {

// The colour at (x, y), y counted from the top of the image.
COLORREF framePixel(const cFrame& frame, int x, int y);

struct DecodedImage {
    int width = 0;
    int height = 0;
    std::vector<COLORREF> pixels; // top row first
    COLORREF at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// Decodes PNG, JPEG or BMP bytes with GDI+; an image of width 0 when they can't be decoded.
DecodedImage decode(const std::string& bytes);

// The largest difference of any colour channel between the frame and the image (256 when their
// sizes differ), and the mean difference over all channels.
int maxChannelDifference(const cFrame& frame, const DecodedImage& image);
double meanChannelDifference(const cFrame& frame, const DecodedImage& image);

} // namespace TestImages
