#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutputUpdate.h"
#include "output/upload/FtpUploadShared.h"
#include "output/upload/StatusRelay.h"

#include <memory>
#include <string>
#include <vector>

// One upload in flight. Its worker thread owns it and destroys it at the end. As the writer's
// status channel it stands between the writer and the caller's receiver: it drops the writer's
// success messages, and every failure once the upload is cancelled. When the transfer itself broke,
// the writer's "Failed to compress image" is dropped too: the upload reports the real cause.
struct stFrameEntry : IFrameOutputUpdate {
    std::shared_ptr<FtpUploadShared> owner;
    cFrame frame; // the upload's own copy; its name only when encoded is set
    // The image file's bytes as the disk output wrote them, sent instead of encoding the frame.
    std::shared_ptr<const std::vector<unsigned char>> encoded;
    // To the caller's receiver (which may be null) until the output stops.
    std::shared_ptr<StatusRelay> relay = std::make_shared<StatusRelay>(nullptr);
    bool cancelled = false; // under the owner's lock
    // The selected target, normalised.
    std::wstring server;
    std::wstring username;
    std::wstring password;
    std::wstring path;
    std::wstring url;
    int uploadId = 0;            // also the WinInet context value of the remote file
    int format = 0;              // format code
    bool custom = false;         // the user's own server, not the built-in account
    bool transferBroken = false; // worker thread only
    // Where a failed upload keeps its image; empty when the disk output has written it, or when
    // there is no such folder.
    std::wstring fallbackFolder;

    bool notify(bool ok, const std::wstring& title, const std::wstring& text) override;
    void progress(const std::wstring& title, const std::wstring& text) override;

    // "Upload failed" with the text, unless the upload is cancelled.
    void reportUploadFailure(const std::wstring& text);

    bool isCancelled() const;
};
