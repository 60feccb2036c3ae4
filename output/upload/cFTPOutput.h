#pragma once

#include "output/upload/AddressHandoff.h"
#include "output/upload/FtpUploadShared.h"
#include "output/IFrameOutput.h"
#include "output/stFtpTarget.h"
#include "platform/Handles.h"

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

struct stFrameEntry;

// Uploads every frame to an FTP server on a worker thread of its own, then hands the image's public
// address to the browser and the clipboard. Two targets: the built-in account that start-up
// supplies (never saved) and the user's own server (saved). All members are for the GUI thread;
// the workers report through the update given to put, concurrently.
class cFTPOutput : public IFrameOutput {
public:
    // How long the destructor waits for uploads still in flight.
    static constexpr DWORD kDestructorStopWaitMs = 2000;

    // Opens the WinInet session; raises InternetException when it cannot.
    cFTPOutput();
    // Stops the uploads (see stopUploads), waiting up to kDestructorStopWaitMs unless they were
    // stopped before. A worker that does not end in time keeps what it uses alive by itself, so
    // the output can go regardless.
    ~cFTPOutput() override;
    cFTPOutput(const cFTPOutput&) = delete;
    cFTPOutput& operator=(const cFTPOutput&) = delete;

    void load(ISettingBag* bag) override;
    void save(ISettingBag* bag) override;
    // Copies the frame and starts its upload, unless uploading is off or the output has stopped.
    // Raises MemoryException or ResourceException when the copy or the thread can't be had.
    void put(const cFrame* frame, int format, IFrameOutputUpdate* update) override;
    // Uploads in flight report no failure any more.
    void cancelPending() override;
    // While uploading is on.
    bool usesSavedImage() const noexcept override { return isEnabled_; }

    // For the application's exit: cancels every upload in flight, closes the WinInet session
    // (which closes the workers' connections and files, so that calls blocked in them return; Wine
    // does so for a server that never answers, not for a send stuck in a full data connection) and
    // waits up to timeoutMs for the workers to end. Returns whether all have ended. Afterwards put
    // starts nothing and the workers report nothing; the session stays closed.
    bool stopUploads(DWORD timeoutMs);

    // The custom (true) or the built-in (false) target's server, username, password and path.
    void setTarget(const std::wstring& server, const std::wstring& username,
                   const std::wstring& password, const std::wstring& path, bool custom);
    void getTarget(std::wstring& server, std::wstring& username, std::wstring& password,
                   std::wstring& path, bool custom) const;

    bool copyUrl() const { return shared_->copyUrl; }
    void setCopyUrl(bool value) { shared_->copyUrl = value; }
    bool openBrowser() const { return shared_->openBrowser; }
    void setOpenBrowser(bool value) { shared_->openBrowser = value; }
    bool ftpCustom() const;
    void setFtpCustom(bool value);
    bool isEnabled() const { return isEnabled_; }
    void setEnabled(bool value) { isEnabled_ = value; }
    // The custom target, its public base address included.
    stFtpTarget customTarget() const;
    std::wstring customUrl() const;
    void setCustomUrl(const std::wstring& url);
    // The built-in target's public base address.
    std::wstring builtinUrl() const;
    void setBuiltinUrl(const std::wstring& url);
    // Where a failed upload keeps its image unless the disk output has written the frame; created
    // when first needed. Empty: nowhere.
    void setFallbackFolder(const std::wstring& folder);
    // The GUI thread's window that opens and copies the uploads' addresses (AddressHandoff), and
    // how long a worker waits for it; without one, each worker does that itself.
    void setAddressHandoff(HWND window, DWORD waitMs = AddressHandoff::kWaitMs);
    // The session for the FTP page's own connections.
    InternetSession& session() { return shared_->session; }
    // Logs in to a server through the session, for the preference dialogs: default port, active
    // mode. Waits at most timeoutMs: a server that accepts and then never answers raises
    // InternetException with ERROR_INTERNET_TIMEOUT, and the attempt ends on its own later.
    // Other failures raise InternetException as the login's own.
    FtpConnection connectWithin(const std::wstring& server, const std::wstring& user,
                                const std::wstring& password,
                                DWORD timeoutMs = kDialogConnectTimeoutMs);
    static constexpr DWORD kDialogConnectTimeoutMs = 20000;

    // Uploads whose worker has not finished.
    std::size_t pendingUploadCount() const;

    // Starts an upload's worker running proc(parameter); null when it can't be started, and then
    // proc has not run. Tests put one that fails in its place.
    using WorkerStarter = HANDLE (*)(unsigned(__stdcall* proc)(void*), void* parameter);
    void setWorkerStarter(WorkerStarter starter) noexcept { startWorker_ = starter; }

private:
    void startUpload(const cFrame* frame, int format, IFrameOutputUpdate* update);
    static HANDLE startSuspendedWorker(unsigned(__stdcall* proc)(void*), void* parameter);
    // Forgets the handles of workers that have ended.
    void pruneWorkers();

    std::shared_ptr<FtpUploadShared> shared_;
    bool ftpCustom_ = false;
    bool isEnabled_ = true;
    stFtpTarget custom_;
    stFtpTarget builtin_;
    std::wstring fallbackFolder_;
    int nextUploadId_ = 0;
    std::vector<UniqueHandle> workers_;
    WorkerStarter startWorker_ = &startSuspendedWorker;
};
