#include "support/TestFrames.h"

namespace TestImages {

namespace {

void setPixel(cFrame& frame, int x, int y, unsigned red, unsigned green, unsigned blue) {
    unsigned char* p = frame.pixels.get() + (frame.height - 1 - y) * frame.stride() +
                       static_cast<std::size_t>(x) * 3;
    p[0] = static_cast<unsigned char>(blue);
    p[1] = static_cast<unsigned char>(green);
    p[2] = static_cast<unsigned char>(red);
}

// Padding bytes of a real capture hold whatever GDI left there; so do ours.
void scribblePadding(cFrame& frame) {
    const std::size_t used = static_cast<std::size_t>(frame.width) * 3;
    for (int row = 0; row < frame.height; ++row)
        for (std::size_t i = used; i < frame.stride(); ++i)
            frame.pixels[row * frame.stride() + i] = 0xA5;
}

} // namespace

FramePtr makeNoiseFrame(int width, int height, unsigned seed) {
    FramePtr frame = makeEmptyFrame();
    frame->allocate(width, height);
    unsigned state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            state = state * 1103515245u + 12345u;
            setPixel(*frame, x, y, state >> 24, (state >> 16) & 0xFF, (state >> 8) & 0xFF);
        }
    scribblePadding(*frame);
    return frame;
}

FramePtr makeQuadrantFrame(int width, int height) {
    FramePtr frame = makeEmptyFrame();
    frame->allocate(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool top = y < height / 2;
            const bool left = x < width / 2;
            const int shade = (x + y) * 40 / (width + height);
            if (top && left)
                setPixel(*frame, x, y, 200 + shade, 30, 40);
            else if (top)
                setPixel(*frame, x, y, 20, 180 + shade, 60);
            else if (left)
                setPixel(*frame, x, y, 30, 60, 190 + shade);
            else
                setPixel(*frame, x, y, 220, 210, 30 + shade);
        }
    scribblePadding(*frame);
    return frame;
}

} // namespace TestImages
