#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutputUpdate.h"
#include "platform/OutputFile.h"

// Encodes the frame into the file with the writer that the format code selects (0 PNG, 1 JPEG,
// 2 and every other value BMP; see FrameFormat.h), created as a local value for this one call.
// Returns what the writer's write returns.
bool writeFrameAs(int formatCode, const cFrame* frame, OutputFile* file,
                  IFrameOutputUpdate* update);
