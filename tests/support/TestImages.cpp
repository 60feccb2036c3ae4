#include "support/TestImages.h"

#include "platform/ComPtr.h"

#include <gdiplus.h>
#include <shlwapi.h>

#include <cstdlib>
#include <memory>

namespace TestImages {

namespace {

class GdiplusUser {
public:
    GdiplusUser() {
        Gdiplus::GdiplusStartupInput input;
        started_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr) == Gdiplus::Ok;
    }
    ~GdiplusUser() {
        if (started_)
            Gdiplus::GdiplusShutdown(token_);
    }
    bool started() const { return started_; }

private:
    ULONG_PTR token_ = 0;
    bool started_ = false;
};

} // namespace

COLORREF framePixel(const cFrame& frame, int x, int y) {
    const unsigned char* p = frame.pixels.get() + (frame.height - 1 - y) * frame.stride() +
                             static_cast<std::size_t>(x) * 3;
    return RGB(p[2], p[1], p[0]);
}

DecodedImage decode(const std::string& bytes) {
    using namespace Gdiplus;
    using namespace Gdiplus::DllExports;
    DecodedImage result;
    GdiplusUser gdiplus;
    if (!gdiplus.started())
        return result;
    ComPtr<IStream> stream;
    IStream* raw = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<UINT>(bytes.size()));
    if (!raw)
        return result;
    *stream.put() = raw;
    GpBitmap* bitmap = nullptr;
    if (GdipCreateBitmapFromStream(stream.get(), &bitmap) != Ok || !bitmap)
        return result;
    std::unique_ptr<GpBitmap, void (*)(GpBitmap*)> owner(bitmap,
                                                         [](GpBitmap* b) { GdipDisposeImage(b); });
    UINT width = 0;
    UINT height = 0;
    GdipGetImageWidth(bitmap, &width);
    GdipGetImageHeight(bitmap, &height);
    GpRect rect(0, 0, static_cast<INT>(width), static_cast<INT>(height));
    BitmapData data{};
    if (GdipBitmapLockBits(bitmap, &rect, ImageLockModeRead, PixelFormat24bppRGB, &data) != Ok)
        return result;
    result.width = static_cast<int>(width);
    result.height = static_cast<int>(height);
    result.pixels.resize(static_cast<std::size_t>(width) * height);
    for (UINT y = 0; y < height; ++y) {
        const auto* row = static_cast<const unsigned char*>(data.Scan0) + y * data.Stride;
        for (UINT x = 0; x < width; ++x)
            result.pixels[y * width + x] = RGB(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
    }
    GdipBitmapUnlockBits(bitmap, &data);
    return result;
}

int maxChannelDifference(const cFrame& frame, const DecodedImage& image) {
    if (frame.width != image.width || frame.height != image.height)
        return 256;
    int worst = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const COLORREF a = framePixel(frame, x, y);
            const COLORREF b = image.at(x, y);
            for (int shift : {0, 8, 16}) {
                const int d = std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                       static_cast<int>((b >> shift) & 0xFF));
                worst = d > worst ? d : worst;
            }
        }
    return worst;
}

double meanChannelDifference(const cFrame& frame, const DecodedImage& image) {
    if (frame.width != image.width || frame.height != image.height || frame.width == 0)
        return 256;
    double total = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x) {
            const COLORREF a = framePixel(frame, x, y);
            const COLORREF b = image.at(x, y);
            for (int shift : {0, 8, 16})
                total += std::abs(static_cast<int>((a >> shift) & 0xFF) -
                                  static_cast<int>((b >> shift) & 0xFF));
        }
    return total / (3.0 * frame.width * frame.height);
}

} // namespace TestImages
