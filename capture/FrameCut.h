#pragma once

#include "capture/SelectionGeometry.h"
#include "capture/cFrame.h"

// A new frame holding the rectangle of the frame (top-down pixel coordinates), copied row by row;
// the part of the rectangle off the frame is left out. An empty rectangle gives an empty frame.
// Raises MemoryException when the buffer can't be had. The name is not copied.
FramePtr cutFrame(const cFrame& from, const SelectionRect& rect);
