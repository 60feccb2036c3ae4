#include "output/FrameFormat.h"

ImageKind imageKindFor(int formatCode) noexcept {
    switch (formatCode) {
    case 0:
        return ImageKind::Png;
    case 1:
        return ImageKind::Jpeg;
    default:
        return ImageKind::Bmp;
    }
}

const wchar_t* extensionFor(int formatCode) noexcept {
    switch (imageKindFor(formatCode)) {
    case ImageKind::Png:
        return L".png";
    case ImageKind::Jpeg:
        return L".jpg";
    case ImageKind::Bmp:
        break;
    }
    return L".bmp";
}
