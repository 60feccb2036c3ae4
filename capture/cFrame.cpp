#include "capture/cFrame.h"

#include "platform/MemoryException.h"

#include <limits>
#include <new>

void cFrame::allocate(int newWidth, int newHeight) {
    clear();
    if (newWidth <= 0 || newHeight <= 0)
        return;
    const std::size_t rowBytes = strideFor(newWidth);
    if (static_cast<std::size_t>(newHeight) > std::numeric_limits<std::size_t>::max() / rowBytes)
        throw MemoryException();
    pixels = FramePixels(
        new (std::nothrow) unsigned char[rowBytes * static_cast<std::size_t>(newHeight)]);
    if (!pixels)
        throw MemoryException();
    width = newWidth;
    height = newHeight;
}

void cFrame::adopt(unsigned char* buffer, int newWidth, int newHeight, void (*release)(void*),
                   void* owner) noexcept {
    clear();
    pixels = FramePixels(buffer, FramePixelsRelease{release, owner});
    width = newWidth;
    height = newHeight;
}

void cFrame::clear() noexcept {
    pixels.reset();
    width = 0;
    height = 0;
}

void destroyFrame(cFrame* frame) noexcept {
    if (!frame)
        return;
    frame->clear();
    frame->name.clear();
    delete frame;
}

FramePtr makeEmptyFrame() {
    return FramePtr(new cFrame());
}
