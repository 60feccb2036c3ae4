#pragma once

#include "output/IFrameOutput.h"

#include <utility>

// Puts the frame through the output in a capture record of its own, as the capture dispatch does.
// The frame comes back into `frame` afterwards, as the output left it (renumbered, say), also
// when put raises; the record is returned without it.
inline stCaptureRecord putCapture(IFrameOutput& output, FramePtr& frame, int format,
                                  IFrameOutputUpdate* update) {
    stCaptureRecord capture;
    capture.frame = std::move(frame);
    try {
        output.put(&capture, format, update);
    } catch (...) {
        frame = std::move(capture.frame);
        throw;
    }
    frame = std::move(capture.frame);
    return capture;
}
