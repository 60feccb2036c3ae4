#pragma once

#include "capture/cFrame.h"

// Frames of known content, free of any Windows call, so the native tests can use them too.
namespace TestImages {

// A frame whose every pixel differs from its neighbours (exact comparisons, row order, padding).
FramePtr makeNoiseFrame(int width, int height, unsigned seed = 1);
// Four flat quadrants with a soft gradient, which lossy encoders keep close.
FramePtr makeQuadrantFrame(int width, int height);

} // namespace TestImages
