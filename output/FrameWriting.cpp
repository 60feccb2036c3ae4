#include "output/FrameWriting.h"

#include "output/FrameFormat.h"
#include "output/cBitmapWriter.h"
#include "output/cJPegWriter.h"
#include "output/cPngWriter.h"

bool writeFrameAs(int formatCode, const cFrame* frame, OutputFile* file,
                  IFrameOutputUpdate* update) {
    cPngWriter png;
    cJPegWriter jpeg;
    cBitmapWriter bitmap;
    IFrameWriter* writer = &bitmap;
    switch (imageKindFor(formatCode)) {
    case ImageKind::Png:
        writer = &png;
        break;
    case ImageKind::Jpeg:
        writer = &jpeg;
        break;
    case ImageKind::Bmp:
        break;
    }
    return writer->write(frame, file, update);
}
