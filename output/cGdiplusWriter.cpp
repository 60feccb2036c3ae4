#include "output/cGdiplusWriter.h"

#include "output/GdiplusSession.h"
#include "output/cStream.h"

#include <gdiplus.h>

#include <memory>
#include <new>
#include <vector>

namespace {

using namespace Gdiplus;
using namespace Gdiplus::DllExports;

struct ImageDisposer {
    void operator()(GpImage* image) const noexcept { GdipDisposeImage(image); }
};
using UniqueGpImage = std::unique_ptr<GpImage, ImageDisposer>;

// The class identifier of the first installed encoder for the format.
bool findEncoder(const GUID& imageFormat, CLSID& encoder) {
    UINT count = 0;
    UINT bytes = 0;
    if (GdipGetImageEncodersSize(&count, &bytes) != Ok || count == 0 || bytes == 0)
        return false;
    // The list is followed by the strings it points to, all in one block of `bytes` bytes.
    std::vector<ImageCodecInfo> block((bytes + sizeof(ImageCodecInfo) - 1) /
                                      sizeof(ImageCodecInfo));
    if (GdipGetImageEncoders(count, bytes, block.data()) != Ok)
        return false;
    for (UINT i = 0; i < count; ++i) {
        if (IsEqualGUID(block[i].FormatID, imageFormat)) {
            encoder = block[i].Clsid;
            return true;
        }
    }
    return false;
}

bool encode(const cFrame& frame, const GUID& imageFormat, cStream& stream,
            GdiplusSession& session) {
    if (!session.start())
        return false;
    try {
        CLSID encoder;
        if (!findEncoder(imageFormat, encoder))
            return false;
        // GDI+ reads the frame's own buffer: its rows are bottom-up, so the bitmap starts at the
        // last row and steps back by the stride. Encoding only reads the pixels.
        const std::size_t stride = frame.stride();
        BYTE* lastRow = frame.pixels.get() + stride * static_cast<std::size_t>(frame.height - 1);
        GpBitmap* created = nullptr;
        if (GdipCreateBitmapFromScan0(frame.width, frame.height, -static_cast<INT>(stride),
                                      PixelFormat24bppRGB, lastRow, &created) != Ok ||
            !created)
            return false;
        UniqueGpImage bitmap(created);
        return GdipSaveImageToStream(bitmap.get(), &stream, &encoder, nullptr) == Ok;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool cGdiplusWriter::write(const cFrame* frame, OutputFile* file, IFrameOutputUpdate* update) {
    if (!frame->pixels || frame->width <= 0 || frame->height <= 0)
        return false;
    GdiplusSession session;
    cStream stream(file);
    // Some encoders carry on after a refused write, so the stream's own record counts too.
    if (encode(*frame, imageFormat_, stream, session) && !stream.writeFailed())
        return true;
    if (update)
        update->notify(false, L"Failed to compress image", L"");
    return false;
}
