#pragma once

#include "output/IFrameWriter.h"

#include <cstddef>

// Writes an uncompressed 24-bit BMP itself, byte for byte (layout in BitmapHeaders.h). A failing
// file's exception passes through write; otherwise write always returns true.
class cBitmapWriter : public IFrameWriter {
public:
    // The pixel data goes to the file straight from the frame's buffer in pieces of at most this.
    static constexpr std::size_t kPieceSize = 1048576;

    bool write(const cFrame* frame, OutputFile* file, IFrameOutputUpdate* update) override;
};
