#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutputUpdate.h"
#include "platform/OutputFile.h"

// Encodes a whole frame into an open file from its current position; never opens, flushes or
// closes it. Returns false when encoding failed, after reporting through update (which may be
// null). A failing file raises its own exception.
class IFrameWriter {
public:
    virtual bool write(const cFrame* frame, OutputFile* file, IFrameOutputUpdate* update) = 0;

protected:
    ~IFrameWriter() = default;
};
