#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A point and a rectangle in image pixels; a rectangle holds [left, right) x [top, bottom).
struct stEditPoint {
    int x = 0;
    int y = 0;
    bool operator==(const stEditPoint& other) const { return x == other.x && y == other.y; }
};

struct stEditRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
    bool contains(stEditPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    bool operator==(const stEditRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// The part the two rectangles share; empty when none.
stEditRect intersect(const stEditRect& a, const stEditRect& b);

struct stEditColour {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
    bool operator==(const stEditColour& other) const {
        return red == other.red && green == other.green && blue == other.blue;
    }
};

// An image in the frame's own layout (24-bit blue-green-red, rows bottom-up, each padded to a
// multiple of 4 bytes), so a frame's pixels move in and out by one copy.
struct stEditImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;

    static std::size_t strideFor(int width) {
        return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
    }
    std::size_t stride() const { return strideFor(width); }
    stEditRect bounds() const { return {0, 0, width, height}; }
    // Blank (black) image of this size; none for a size of 0 or less.
    static stEditImage blank(int width, int height);
    // The first byte (blue) of the pixel at (x, y), y counted from the top.
    std::uint8_t* at(int x, int y) {
        return bytes.data() + static_cast<std::size_t>(height - 1 - y) * stride() +
               static_cast<std::size_t>(x) * 3;
    }
    const std::uint8_t* at(int x, int y) const { return const_cast<stEditImage*>(this)->at(x, y); }
    stEditColour pixel(int x, int y) const {
        const std::uint8_t* p = at(x, y);
        return {p[2], p[1], p[0]};
    }
    void setPixel(int x, int y, stEditColour c) {
        std::uint8_t* p = at(x, y);
        p[0] = c.blue;
        p[1] = c.green;
        p[2] = c.red;
    }
};
