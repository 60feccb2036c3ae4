#include "editor/EditImage.h"

#include <algorithm>

stEditRect intersect(const stEditRect& a, const stEditRect& b) {
    stEditRect r{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                 std::min(a.bottom, b.bottom)};
    if (r.empty())
        return {};
    return r;
}

stEditImage stEditImage::blank(int width, int height) {
    stEditImage image;
    if (width <= 0 || height <= 0)
        return image;
    image.width = width;
    image.height = height;
    image.bytes.assign(image.stride() * static_cast<std::size_t>(height), 0);
    return image;
}
