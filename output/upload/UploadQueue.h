#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutputUpdate.h"

#include <string>
#include <vector>

// The captures waiting for their upload: one complete image file each, in a folder of their own,
// named as the file will be on the server. A file is written under its name followed by ".part"
// and renamed once complete and flushed, so that apart from the file being written the folder
// holds complete images only, and a process killed at any moment leaves no half image under a
// queued name. GUI thread only; the upload workers only read the files.
class UploadQueue {
public:
    explicit UploadQueue(std::wstring folder);
    // The folder, with a trailing backslash; created when the first capture is queued.
    const std::wstring& folder() const noexcept { return folder_; }
    void setFolder(std::wstring folder);

    // Queues the frame encoded in the format or, when copyOf names the file that the disk output
    // saved of it in that format, a copy of that file. The queued file takes the frame's file
    // stem, or the next free number after it when a queued file has that name, followed by
    // suffix (for the name on the server; may be empty). Returns the queued file's name; empty
    // when the writer could not encode the frame (the writer has said why through update).
    // Raises FileException when the file can't be written, leaving nothing.
    std::wstring add(const cFrame& frame, int format, const std::wstring& copyOf,
                     const std::wstring& suffix, IFrameOutputUpdate* update);
    // The queued files' names, oldest first.
    std::vector<std::wstring> list() const;
    std::wstring pathOf(const std::wstring& fileName) const { return folder_ + fileName; }
    // The file leaves the queue (the server has it). False when it could not be deleted.
    bool remove(const std::wstring& fileName) noexcept;
    // Deletes the files an earlier run left half-written.
    void removeUnfinished() noexcept;

    // Whether a file of this name in the folder is a queued image: ".png", ".jpg" or ".bmp" in any
    // letter case. A file being written ends in ".part", and other files are not ours to send.
    static bool isQueuedName(const std::wstring& fileName);

private:
    // Writes the image under the temporary name; false when the writer could not encode it.
    bool writeImage(const std::wstring& partPath, const cFrame& frame, int format,
                    const std::wstring& copyOf, IFrameOutputUpdate* update) const;

    std::wstring folder_;
};
