#include "editor/PixelOps.h"

#include <algorithm>
#include <cstdint>

namespace {

// Sums of one colour's channels, with the weight each pixel was counted with.
struct ColourSum {
    std::uint64_t red = 0, green = 0, blue = 0, weight = 0;
    void add(stEditColour c, std::uint64_t w) {
        red += c.red * w;
        green += c.green * w;
        blue += c.blue * w;
        weight += w;
    }
    void addAverage(const ColourSum& part, std::uint64_t w) {
        if (part.weight == 0)
            return;
        add(stEditColour{static_cast<std::uint8_t>(part.red / part.weight),
                         static_cast<std::uint8_t>(part.green / part.weight),
                         static_cast<std::uint8_t>(part.blue / part.weight)},
            w);
    }
    stEditColour average() const {
        if (weight == 0)
            return {128, 128, 128};
        return {static_cast<std::uint8_t>(red / weight), static_cast<std::uint8_t>(green / weight),
                static_cast<std::uint8_t>(blue / weight)};
    }
};

// The ring's pixels on one side of the area, along [from, to) of the other axis.
ColourSum rowSum(const stEditImage& image, int y, int from, int to) {
    ColourSum sum;
    if (y < 0 || y >= image.height)
        return sum;
    for (int x = std::max(from, 0); x < std::min(to, image.width); ++x)
        sum.add(image.pixel(x, y), 1);
    return sum;
}

ColourSum columnSum(const stEditImage& image, int x, int from, int to) {
    ColourSum sum;
    if (x < 0 || x >= image.width)
        return sum;
    for (int y = std::max(from, 0); y < std::min(to, image.height); ++y)
        sum.add(image.pixel(x, y), 1);
    return sum;
}

// Block i of count over [start, start + length): the remainder is spread, so no block is shorter
// than length / count.
int blockEdge(int start, int length, int count, int i) {
    return start + static_cast<int>(static_cast<long long>(length) * i / count);
}

} // namespace

void fillRect(stEditImage& image, const stEditRect& rect, stEditColour colour) {
    const stEditRect r = intersect(rect, image.bounds());
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            image.setPixel(x, y, colour);
}

void pixelate(stEditImage& image, const stEditRect& area, int minBlock) {
    const stEditRect a = intersect(area, image.bounds());
    if (a.empty())
        return;
    const int columns = std::max(1, a.width() / std::max(1, minBlock));
    const int rows = std::max(1, a.height() / std::max(1, minBlock));
    // Only the ring, outside the area, is read, and only the area is filled: each block can be
    // filled as soon as its colour is known.
    for (int by = 0; by < rows; ++by) {
        const int y0 = blockEdge(a.top, a.height(), rows, by);
        const int y1 = blockEdge(a.top, a.height(), rows, by + 1);
        for (int bx = 0; bx < columns; ++bx) {
            const int x0 = blockEdge(a.left, a.width(), columns, bx);
            const int x1 = blockEdge(a.left, a.width(), columns, bx + 1);
            // Weights: the nearer side of the ring counts more (1 + the other sides' distance).
            const std::uint64_t toTop = static_cast<std::uint64_t>(by) + 1;
            const std::uint64_t toBottom = static_cast<std::uint64_t>(rows - by);
            const std::uint64_t toLeft = static_cast<std::uint64_t>(bx) + 1;
            const std::uint64_t toRight = static_cast<std::uint64_t>(columns - bx);
            ColourSum sum;
            sum.addAverage(rowSum(image, a.top - 1, x0, x1), toBottom);
            sum.addAverage(rowSum(image, a.bottom, x0, x1), toTop);
            sum.addAverage(columnSum(image, a.left - 1, y0, y1), toRight);
            sum.addAverage(columnSum(image, a.right, y0, y1), toLeft);
            if (sum.weight == 0) {
                // This block's stretch of the ring lies off the image: take the whole ring.
                sum.addAverage(rowSum(image, a.top - 1, a.left - 1, a.right + 1), 1);
                sum.addAverage(rowSum(image, a.bottom, a.left - 1, a.right + 1), 1);
                sum.addAverage(columnSum(image, a.left - 1, a.top, a.bottom), 1);
                sum.addAverage(columnSum(image, a.right, a.top, a.bottom), 1);
            }
            fillRect(image, {x0, y0, x1, y1}, sum.average());
        }
    }
}

void highlight(stEditImage& image, const std::vector<stEditPoint>& stroke, int radius) {
    if (stroke.empty() || image.width <= 0)
        return;
    radius = std::max(radius, 1);
    const long long r2 = static_cast<long long>(radius) * radius;
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(image.width) * image.height, 0);
    for (std::size_t i = 0; i < stroke.size(); ++i) {
        const stEditPoint a = stroke[i];
        const stEditPoint b = stroke[i + 1 < stroke.size() ? i + 1 : i];
        const stEditRect box =
            intersect({std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius,
                       std::max(a.x, b.x) + radius + 1, std::max(a.y, b.y) + radius + 1},
                      image.bounds());
        const long long dx = b.x - a.x, dy = b.y - a.y, length2 = dx * dx + dy * dy;
        for (int y = box.top; y < box.bottom; ++y)
            for (int x = box.left; x < box.right; ++x) {
                // Distance to the segment, in integers: the nearest point's parameter t/length2.
                const long long px = x - a.x, py = y - a.y;
                long long t = length2 ? std::clamp(px * dx + py * dy, 0LL, length2) : 0;
                const double nx = length2 ? px - static_cast<double>(dx) * t / length2 : px;
                const double ny = length2 ? py - static_cast<double>(dy) * t / length2 : py;
                if (nx * nx + ny * ny <= static_cast<double>(r2))
                    mask[static_cast<std::size_t>(y) * image.width + x] = 1;
            }
    }
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (mask[static_cast<std::size_t>(y) * image.width + x]) {
                std::uint8_t* p = image.at(x, y);
                p[0] = static_cast<std::uint8_t>(p[0] * kHighlighterColour.blue / 255);
                p[1] = static_cast<std::uint8_t>(p[1] * kHighlighterColour.green / 255);
                p[2] = static_cast<std::uint8_t>(p[2] * kHighlighterColour.red / 255);
            }
}

stEditImage cropImage(const stEditImage& image, const stEditRect& rect) {
    const stEditRect r = intersect(rect, image.bounds());
    stEditImage out = stEditImage::blank(r.width(), r.height());
    for (int y = 0; y < out.height; ++y)
        std::copy_n(image.at(r.left, r.top + y), static_cast<std::size_t>(out.width) * 3,
                    out.at(0, y));
    return out;
}
