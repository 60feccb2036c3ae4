#pragma once

#include "capture/cFrame.h"

// A frame that looks like a real screen: the left half a photograph (smooth shapes with fine
// grain), the right half dense text drawn with GDI.
FramePtr makeScreenLikeFrame(int width, int height);
