#include "output/cBitmapWriter.h"

#include "output/BitmapHeaders.h"

#include <algorithm>
#include <cstdint>

bool cBitmapWriter::write(const cFrame* frame, OutputFile* file, IFrameOutputUpdate* update) {
    const bool empty = frame->width <= 0 || frame->height <= 0 || !frame->pixels;
    const std::size_t dataSize = empty ? 0 : frame->bufferSize();
    // A frame GDI can hold stays below 4 GiB of pixels, so the size fits the 32-bit field.
    const auto fileHeader = BitmapHeaders::fileHeader(static_cast<std::uint32_t>(dataSize));
    const auto infoHeader = BitmapHeaders::infoHeader(frame->width, frame->height);
    file->write(fileHeader.data(), fileHeader.size());
    file->write(infoHeader.data(), infoHeader.size());

    const unsigned char* data = frame->pixels.get();
    for (std::size_t done = 0; done < dataSize;) {
        const std::size_t piece = std::min(kPieceSize, dataSize - done);
        file->write(data + done, piece);
        done += piece;
    }

    if (update)
        update->notify(true, L"Image written successfully", L"");
    return true;
}
