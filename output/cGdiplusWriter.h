#pragma once

#include "output/IFrameWriter.h"

#include <windows.h>

// Encodes a frame through the platform's GDI+ image encoder for one image format, straight from
// the frame's buffer (no copy), streaming the encoded bytes straight into the file (cStream). The
// PNG and JPEG writers differ only in the format they ask for. No encoder parameters: JPEG uses the
// encoder's default quality.
class cGdiplusWriter : public IFrameWriter {
public:
    // False, without a message, for a frame without pixels; false after "Failed to compress image"
    // when GDI+, the encoder or the file failed.
    bool write(const cFrame* frame, OutputFile* file, IFrameOutputUpdate* update) override;

protected:
    explicit cGdiplusWriter(const GUID& imageFormat) noexcept : imageFormat_(imageFormat) {}
    ~cGdiplusWriter() = default;

private:
    GUID imageFormat_;
};
