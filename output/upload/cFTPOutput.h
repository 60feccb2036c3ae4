#pragma once

#include "output/IFrameOutput.h"
#include "output/stFtpTarget.h"
#include "output/upload/FtpModeMemory.h"
#include "output/upload/UploadHistory.h"
#include "output/upload/UploadQueue.h"
#include "output/upload/UploadReporter.h"
#include "output/upload/UploadRunner.h"
#include "output/upload/UploadTimings.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Uploads every capture to an FTP server, then hands the image's public address to the history,
// the browser and the clipboard. Each capture is first queued on the local disk, encoded, and
// leaves the queue only once the server has it; failed uploads are tried again (UploadRunner).
// Two targets: the built-in account that start-up supplies (never saved) and the user's own server
// (saved); a queued capture goes to the one selected when it is sent. GUI thread only: the
// upload workers get copies of what they need and report by posted messages.
class cFTPOutput : public IFrameOutput {
public:
    // How long the destructor waits for uploads still in flight, unless stopped before.
    static constexpr DWORD kDestructorStopWaitMs = 2000;
    static constexpr DWORD kDialogConnectTimeoutMs = 20000;

    // The queue and the history are the user's own until set otherwise. Sends nothing by itself:
    // captures queued by earlier runs wait for resumeQueue.
    cFTPOutput();
    ~cFTPOutput() override;
    cFTPOutput(const cFTPOutput&) = delete;
    cFTPOutput& operator=(const cFTPOutput&) = delete;

    void load(ISettingBag* bag) override;
    void save(ISettingBag* bag) override;
    // Unless uploading is off: queues the capture (a copy of the disk output's file, or the frame
    // encoded) and starts sending it; reports "Image saved" through update once it is on disk, or
    // "Upload failed" when the frame can't be encoded.
    // With no usable target, a capture that the disk output has not saved is queued for later and
    // said so; one it has saved is left there. A queue that can't be written raises FileException.
    void put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) override;
    // The captures queued so far report no failure any more.
    void cancelPending() override { runner_.quietAll(); }
    // Unless uploading is off: logs in to the target on a worker, so that the capture's upload
    // finds the connection made; a connection left warm by the last upload serves as it is.
    void expectCapture() override;
    // The connection made for it is closed; nothing is stored.
    void captureAbandoned() override { runner_.unprepare(); }

    // Start-up: sends what earlier runs left in the queue.
    void resumeQueue() { runner_.resume(); }
    // Every queued capture not being sent is sent now.
    void resendUnsent() { runner_.resendAll(); }
    // Captures in the queue, those being sent included.
    std::size_t unsentCount() const noexcept { return runner_.queuedCount(); }
    // Uploads being sent now.
    std::size_t pendingUploadCount() const noexcept { return runner_.sendingCount(); }
    // For exit and logoff: nothing more is sent; uploads in flight are given up (they stay queued)
    // and waited for at most timeoutMs. Returns whether all have ended. put queues nothing after.
    bool stopUploads(DWORD timeoutMs);

    // The uploads recorded last, newest first.
    std::vector<stHistoryEntry> recentUploads(std::size_t count) const;
    // Copies an address again (from the history).
    void copyAddress(const std::wstring& address) { reporter_.copyAgain(address); }

    // Where the outcome of every upload is told (not owned; null: nowhere).
    void setReceiver(IFrameOutputUpdate* receiver) noexcept { reporter_.setReceiver(receiver); }
    void setQueueFolder(std::wstring folder) { queue_.setFolder(std::move(folder)); }
    const std::wstring& queueFolder() const noexcept { return queue_.folder(); }
    void setHistoryFile(std::wstring path) { history_ = UploadHistory(std::move(path)); }
    void setTimings(const stUploadTimings& timings);

    // The custom (true) or the built-in (false) target's server, username, password and path.
    void setTarget(const std::wstring& server, const std::wstring& username,
                   const std::wstring& password, const std::wstring& path, bool custom);
    void getTarget(std::wstring& server, std::wstring& username, std::wstring& password,
                   std::wstring& path, bool custom) const;

    bool copyUrl() const noexcept { return switches_.copyUrl; }
    void setCopyUrl(bool value) noexcept { switches_.copyUrl = value; }
    bool openBrowser() const noexcept { return switches_.openBrowser; }
    void setOpenBrowser(bool value) noexcept { switches_.openBrowser = value; }
    bool ftpCustom() const noexcept { return ftpCustom_; }
    void setFtpCustom(bool value);
    bool isEnabled() const noexcept { return isEnabled_; }
    void setEnabled(bool value);
    // "randomName": the custom target's files get a random suffix on the server (the built-in
    // target's always do).
    bool randomName() const noexcept { return randomName_; }
    void setRandomName(bool value) noexcept { randomName_ = value; }
    // The custom target, its public base address included.
    const stFtpTarget& customTarget() const noexcept { return custom_; }
    const std::wstring& customUrl() const noexcept { return custom_.url; }
    void setCustomUrl(const std::wstring& url) { custom_.url = url; }
    // The built-in target's public base address.
    const std::wstring& builtinUrl() const noexcept { return builtin_.url; }
    void setBuiltinUrl(const std::wstring& url) { builtin_.url = url; }

    // Which data connection mode works with which server, for uploads and the preference pages.
    const std::shared_ptr<FtpModeMemory>& modes() const noexcept { return modes_; }

private:
    // The selected target, normalised; none while uploading is off or the target has no server.
    std::optional<stSendTarget> sendTarget() const;

    UploadReporter::Switches switches_;
    bool ftpCustom_ = false;
    bool isEnabled_ = true;
    bool randomName_ = true;
    bool stopped_ = false;
    stFtpTarget custom_;
    stFtpTarget builtin_;
    std::shared_ptr<FtpModeMemory> modes_ = std::make_shared<FtpModeMemory>();
    UploadHistory history_;
    UploadReporter reporter_;
    UploadQueue queue_;
    UploadRunner runner_;
};
