#pragma once

#include <memory>
#include <string>

// Gives a frame's buffer back: delete[], unless the buffer belongs to another owner (the bitmap the
// screen was copied into), which release then frees.
struct FramePixelsRelease {
    void (*release)(void* owner) = nullptr;
    void* owner = nullptr;
    void operator()(unsigned char* pixels) const noexcept {
        if (release)
            release(owner);
        else
            delete[] pixels;
    }
};
using FramePixels = std::unique_ptr<unsigned char[], FramePixelsRelease>;

// One captured image: 24-bit blue-green-red pixels, rows bottom-up, each row padded to stride().
struct cFrame {
    FramePixels pixels; // null while the frame is empty
    int width = 0;
    int height = 0;
    // The capture's local time; frames of one second share it (see nameNumber).
    std::wstring name;
    // 1 for the first frame of its name, 2, 3, ... for later ones; their files differ by it.
    int nameNumber = 1;
    // The stem of the frame's image files: the name, followed by "_2", "_3", ... for the later
    // frames of the same name.
    std::wstring fileStem() const { return fileStemFor(name, nameNumber); }
    static std::wstring fileStemFor(const std::wstring& name, int number) {
        return number <= 1 ? name : name + L"_" + std::to_wstring(number);
    }

    // Bytes per row: width * 3 rounded up to a multiple of 4.
    static constexpr std::size_t strideFor(int width) noexcept {
        return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
    }
    std::size_t stride() const noexcept { return strideFor(width); }
    std::size_t bufferSize() const noexcept { return stride() * static_cast<std::size_t>(height); }

    // Releases any buffer, then gives the frame a buffer for width x height (none when either is 0
    // or negative). Raises MemoryException when the buffer can't be had.
    void allocate(int newWidth, int newHeight);
    // Releases any buffer, then takes over a width x height buffer in the frame's layout that
    // another owner frees: release(owner) when the frame lets go of it. Saves a copy of the pixels.
    void adopt(unsigned char* buffer, int newWidth, int newHeight, void (*release)(void*),
               void* owner) noexcept;
    // Back to an empty frame; the name stays.
    void clear() noexcept;
};

// Frees a frame and its buffer; accepts a frame without a buffer, or none at all.
void destroyFrame(cFrame* frame) noexcept;

struct FrameDeleter {
    void operator()(cFrame* frame) const noexcept { destroyFrame(frame); }
};
using FramePtr = std::unique_ptr<cFrame, FrameDeleter>;

// A new empty frame.
FramePtr makeEmptyFrame();
