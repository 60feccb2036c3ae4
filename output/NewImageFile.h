#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutputUpdate.h"

#include <string>

// An image file saved for a frame.
struct NewImageFile {
    std::wstring path;
    int nameNumber = 1;    // the number its name carries (see cFrame::fileStem)
    bool complete = false; // false when the frame could not be encoded; the file is gone then
};

// Saves the frame as a new image file in the folder, named by the frame's file stem or, where a
// file of that name exists, by the next free number from the frame's own on. An existing file is
// never replaced: the create call that fails on an existing file decides, not a check before it.
// A file that cannot be written, flushed or closed is deleted before its FileException leaves; a
// frame the writer cannot encode (the writer says why through update) is deleted too, and comes
// back not complete. A path longer than kMaxImagePathLength raises FileException, creating
// nothing.
NewImageFile saveNewImageFile(const std::wstring& folder, const cFrame& frame, int format,
                              IFrameOutputUpdate* update);
