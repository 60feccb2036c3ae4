#include "output/cGdiplusWriter.h"

#include "capture/FrameBitmapHeader.h"
#include "output/GdiplusSession.h"
#include "output/cStream.h"
#include "platform/Handles.h"

#include <gdiplus.h>

#include <cstring>
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

bool encode(HBITMAP section, const GUID& imageFormat, cStream& stream, GdiplusSession& session) {
    if (!session.start())
        return false;
    try {
        CLSID encoder;
        if (!findEncoder(imageFormat, encoder))
            return false;
        GpBitmap* created = nullptr;
        if (GdipCreateBitmapFromHBITMAP(section, nullptr, &created) != Ok || !created)
            return false;
        UniqueGpImage bitmap(created);
        return GdipSaveImageToStream(bitmap.get(), &stream, &encoder, nullptr) == Ok;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

} // namespace

bool cGdiplusWriter::write(const cFrame* frame, OutputFile* file, IFrameOutputUpdate* update) {
    GdiplusSession session;

    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(frame->width, frame->height);
    void* bits = nullptr;
    UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits || !frame->pixels)
        return false;

    // The section has the frame's stride and row order, so the bottom row stays the bottom row.
    const std::size_t stride = frame->stride();
    for (int row = 0; row < frame->height; ++row)
        std::memcpy(static_cast<unsigned char*>(bits) + row * stride,
                    frame->pixels.get() + row * stride, stride);

    cStream stream(file);
    // Some encoders carry on after a refused write, so the stream's own record counts too.
    if (encode(section.get(), imageFormat_, stream, session) && !stream.writeFailed())
        return true;
    if (update)
        update->notify(false, L"Failed to compress image", L"");
    return false;
}
