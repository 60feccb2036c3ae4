#pragma once

#include "editor/EditImage.h"

#include <cstdint>

// An image whose every pixel differs from its neighbours, from a seed.
inline stEditImage noiseImage(int width, int height, std::uint32_t seed) {
    stEditImage image = stEditImage::blank(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            image.setPixel(x, y,
                           {static_cast<std::uint8_t>(seed >> 24),
                            static_cast<std::uint8_t>(seed >> 16),
                            static_cast<std::uint8_t>(seed >> 8)});
        }
    return image;
}
