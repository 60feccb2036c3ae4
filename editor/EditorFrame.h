#pragma once

#include "capture/cFrame.h"
#include "editor/EditImage.h"

// The editor's images and the program's frames share one pixel layout: each way is one copy.
stEditImage editImageOf(const cFrame& frame);
// A frame that takes the image's pixels over, without a name yet; empty (no pixels) for an
// empty image.
FramePtr frameOf(stEditImage image);
