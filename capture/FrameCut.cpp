#include "capture/FrameCut.h"

#include <cstring>

FramePtr cutFrame(const cFrame& from, const SelectionRect& rect) {
    FramePtr cut = makeEmptyFrame();
    const SelectionRect part = rect.intersection({0, 0, from.width, from.height});
    if (part.empty() || !from.pixels)
        return cut;
    cut->allocate(part.width(), part.height());
    const std::size_t rowBytes = static_cast<std::size_t>(part.width()) * 3;
    const std::size_t padding = cut->stride() - rowBytes;
    for (int y = 0; y < part.height(); ++y) {
        // Rows are bottom-up in both frames.
        const std::size_t sourceRow = static_cast<std::size_t>(from.height - 1 - (part.top + y));
        const std::size_t targetRow = static_cast<std::size_t>(part.height() - 1 - y);
        unsigned char* target = cut->pixels.get() + targetRow * cut->stride();
        std::memcpy(target,
                    from.pixels.get() + sourceRow * from.stride() +
                        static_cast<std::size_t>(part.left) * 3,
                    rowBytes);
        std::memset(target + rowBytes, 0, padding);
    }
    return cut;
}
