#pragma once

#include "output/AddressHandoff.h"
#include "platform/InternetSession.h"

#include <atomic>
#include <list>
#include <mutex>

struct stFrameEntry;

// What the FTP output shares with its upload workers. Each worker keeps it alive, so a worker still
// stuck in the network after the output has gone touches nothing freed.
struct FtpUploadShared {
    FtpUploadShared() : session(L"Pixlance", 1) {}

    // Guards both targets of the output, its upload counter, pendingUploads, stopped and the
    // entries' cancelled flags. Recursive: getTarget takes it again inside startUpload.
    std::recursive_mutex lock;
    // Shared by every upload and by the FTP page; closed when the output stops, which also ends the
    // connections and transfers opened through it.
    InternetSession session;
    // Read by the workers at the end of each upload.
    std::atomic<bool> copyUrl{true};
    std::atomic<bool> openBrowser{true};
    // Where the workers hand their addresses over; under the lock.
    AddressHandoff::Target handoff;
    // Set once when the output stops; after that no upload starts or reports.
    bool stopped = false;
    // Uploads whose worker has not finished; each worker owns its entry.
    std::list<stFrameEntry*> pendingUploads;
};
