#pragma once

#include "capture/cFrame.h"

#include <string>

// One capture on its way through the outputs. The capture dispatch owns it for the request and
// hands it to each output in turn; an output leaves here what it produced, for the ones after it.
struct stCaptureRecord {
    FramePtr frame; // the pixels and the name (an output that stores a file may renumber it)
    // The image file the disk output saved and the format code it was encoded in; empty when the
    // disk output did not run or stored nothing.
    std::wstring savedPath;
    int savedFormat = -1;
};
