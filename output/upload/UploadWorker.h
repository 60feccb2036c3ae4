#pragma once

struct stFrameEntry;

// The thread of one upload: encodes the frame straight into its remote file, then hands the
// image's public address over and reports through the entry.
namespace UploadWorker {

// The thread procedure; owns the stFrameEntry it is given and unlists it from its output's
// pending uploads at the end.
unsigned __stdcall run(void* entry);

// Reports the failure being handled as "Upload failed"; the image is kept first in the entry's
// fallback folder, if it has one, and the report names the kept file.
void reportFailureKeepingImage(stFrameEntry& entry);

} // namespace UploadWorker
