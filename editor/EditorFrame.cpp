#include "editor/EditorFrame.h"

#include <cstdint>
#include <cstring>
#include <memory>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

void releaseBytes(void* owner) {
    std::unique_ptr<Bytes>(static_cast<Bytes*>(owner)).reset();
}

} // namespace

stEditImage editImageOf(const cFrame& frame) {
    stEditImage image = stEditImage::blank(frame.width, frame.height);
    if (!image.bytes.empty() && frame.pixels)
        std::memcpy(image.bytes.data(), frame.pixels.get(), image.bytes.size());
    return image;
}

FramePtr frameOf(stEditImage image) {
    FramePtr frame = makeEmptyFrame();
    if (image.width <= 0 || image.height <= 0 || image.bytes.size() < image.stride() * image.height)
        return frame;
    // The frame takes the image's buffer over: a 4K copy saved on every send.
    auto owner = std::make_unique<Bytes>(std::move(image.bytes));
    unsigned char* pixels = owner->data();
    frame->adopt(pixels, image.width, image.height, &releaseBytes, owner.release());
    return frame;
}
