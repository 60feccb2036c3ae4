#pragma once

#include "output/upload/AddressHandoff.h"
#include "platform/FtpConnection.h"
#include "platform/InternetSession.h"

#include <windows.h>

#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <string>

struct stFrameEntry;

// What the FTP output shares with its upload workers. Each worker keeps it alive, so a worker still
// stuck in the network after the output has gone touches nothing freed.
struct FtpUploadShared {
    FtpUploadShared() : session(L"Pixlance", 1) {}

    // Guards both targets of the output, its upload counter, pendingUploads, stopped and the
    // entries' cancelled flags. Never held while calling out of the upload engine.
    std::mutex lock;
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

    bool isStopped() {
        std::lock_guard<std::mutex> guard(lock);
        return stopped;
    }

    // Logs in through the session (default port, active mode) on a thread that owns what it uses,
    // the session included, so that it may outlive the wait and the output; waits at most
    // timeoutMs. A server that accepts and then never answers raises InternetException with
    // ERROR_INTERNET_TIMEOUT; other failures raise the login's own InternetException.
    static FtpConnection connectWithin(const std::shared_ptr<FtpUploadShared>& shared,
                                       const std::wstring& server, const std::wstring& user,
                                       const std::wstring& password, DWORD timeoutMs);
};
