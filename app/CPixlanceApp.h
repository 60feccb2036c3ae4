#pragma once

#include "app/FrameName.h"
#include "app/InstanceLock.h"
#include "app/PlatformServices.h"
#include "editor/IEditorOutput.h"
#include "editor/cEditorWnd.h"
#include "hotkeys/KeyboardHook.h"
#include "hotkeys/cHotKeySettings.h"
#include "output/IFrameOutput.h"
#include "output/IFrameOutputUpdate.h"
#include "output/stCaptureRecord.h"
#include "output/cClipboardOutput.h"
#include "output/cDiskFileOutput.h"
#include "output/upload/cFTPOutput.h"
#include "platform/AppException.h"
#include "settings/ISettingPersist.h"
#include "settings/cBinSettingBag.h"
#include "ui/CSystemTray.h"
#include "ui/ITrayCommands.h"
#include "ui/PreferencesModel.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// The application object: owner of every component for the whole run, the handler of capture
// requests, and the status channel that turns the outputs' reports into balloons.
class CPixlanceApp : public IFrameOutputUpdate,
                     public ISettingPersist,
                     public ITrayCommands,
                     public IEditorOutput {
public:
    // How long exit waits for uploads still in flight; what is not sent by then stays queued.
    static constexpr DWORD kUploadStopWaitMs = 2000;

    // Builds the components with their defaults and takes the single-instance lock.
    CPixlanceApp();
    CPixlanceApp(const CPixlanceApp&) = delete;
    CPixlanceApp& operator=(const CPixlanceApp&) = delete;
    virtual ~CPixlanceApp();

    // Start-up; false ends the program (second instance, failed initialisation, or a register or
    // unregister request that has been carried out).
    bool InitInstance(const std::wstring& commandLine);
    // Runs the GUI thread's message loop until the program quits; returns the exit code.
    int run();
    // Shutdown: removes the hook and, after a successful start, saves the settings and ends the
    // uploads in flight, which stay queued for the next start.
    void ExitInstance();

    void loadSettings();
    void saveSettings();

    // ITrayCommands: the icon's menu and the end of the session.
    bool isPreferencesOpen() const override { return preferencesOpen_; }
    bool isEditorOpen() const override { return editor_.isOpen(); }
    void showPreferences() override;
    std::size_t unsentCount() const override { return ftp_.unsentCount(); }
    void resendUnsent() override { ftp_.resendUnsent(); }
    std::vector<stRecentUpload> recentUploads() const override;
    void copyAddress(const std::wstring& address) override { ftp_.copyAddress(address); }
    // Logoff or shutdown: what exit does, at once, as the process may end right after.
    void endSession() override;
    // What the preference dialogs show and change.
    PreferencesModel preferencesModel() noexcept {
        return {hotKeys_,           disk_,         ftp_,         diskOutputOn_,
                clipboardOutputOn_, runAtStartup_, outputFormat_};
    }

    // The components, for the dialogs and the start-up code's callers.
    cHotKeySettings& hotKeys() noexcept { return hotKeys_; }
    cDiskFileOutput& disk() noexcept { return disk_; }
    cFTPOutput& ftp() noexcept { return ftp_; }
    cClipboardOutput& clipboard() noexcept { return clipboard_; }
    KeyboardHook& keyboardHook() noexcept { return keyboardHook_; }
    // The switches, with the values their settings keys store.
    std::int32_t diskOutputOn() const noexcept { return diskOutputOn_; }
    void setDiskOutputOn(std::int32_t on) noexcept { diskOutputOn_ = on; }
    std::int32_t clipboardOutputOn() const noexcept { return clipboardOutputOn_; }
    void setClipboardOutputOn(std::int32_t on) noexcept { clipboardOutputOn_ = on; }
    std::int32_t runAtStartup() const noexcept { return runAtStartup_; }
    void setRunAtStartup(std::int32_t on) noexcept { runAtStartup_ = on; }
    std::int32_t outputFormat() const noexcept { return outputFormat_; }
    void setOutputFormat(std::int32_t formatCode) noexcept { outputFormat_ = formatCode; }
    // Whether a capture request is being handled (its outputs may be running a modal loop).
    bool captureInProgress() const noexcept { return captureInProgress_; }

    // IFrameOutputUpdate: every report becomes a balloon; safe from any thread.
    bool notify(bool ok, const std::wstring& title, const std::wstring& text) override;
    void progress(const std::wstring& title, const std::wstring& text) override;

    // ISettingPersist: the application's own keys.
    void load(ISettingBag* bag) override;
    void save(ISettingBag* bag) override;

    // The outputs that every frame goes to (not owned; a null one is left out). They start as the
    // application's own.
    void setOutputs(IFrameOutput* toDisk, IFrameOutput* toClipboard, IFrameOutput* toFtp) noexcept;
    // Where the outputs and the dispatch report to (not owned; may be null). Starts as this.
    void setStatusCallback(IFrameOutputUpdate* update) noexcept { statusUpdate_ = update; }

    // IEditorOutput: the editor's image, through the outputs as a capture, or to the clipboard.
    void sendEdited(FramePtr frame) override;
    void copyEdited(FramePtr frame) override;
    // The editor window, open or not.
    cEditorWnd& editor() noexcept { return editor_; }

    // One capture request: grabs a frame in the given CaptureMode, names it after the local time
    // (numbered after the frames of the same second before it) and hands it to the disk, clipboard
    // and FTP outputs in that order. A request that arrives while another is being handled (through
    // a modal loop) is dropped. The Edit mode opens the region in the editor instead, or brings the
    // editor to the front when it is open already.
    void OnCaptureRequest(WPARAM mode, LPARAM);

    // The GUI thread's window-less messages; install with MessagePump::setThreadMessageHandler so
    // that capture requests also arrive inside modal loops.
    void handleThreadMessage(const MSG& msg);

private:
    // The frame of one request, or none (an unknown mode, an empty selection).
    FramePtr captureFrame(WPARAM mode);
    // The region the user picks on the frozen screen, or none.
    FramePtr selectRegion();
    void deliver(stCaptureRecord& capture);
    // One output's put; what it raises is reported and goes no further.
    void putReporting(IFrameOutput* output, stCaptureRecord& capture) noexcept;
    // Runs work; what it raises is reported and goes no further.
    void reportingFailures(const std::function<void()>& work) noexcept;
    void reportFailure(const AppException& error) noexcept;
    // What exit and the end of the session do, once.
    void shutDown();
    void createStartupShortcut();
    // A message box of the program's own, for start-up failures.
    void showStartupMessage(const std::wstring& text, UINT icon);

    PlatformServices services_;
    cHotKeySettings hotKeys_;
    std::int32_t diskOutputOn_ = 0;      // "DiskOutput"
    std::int32_t clipboardOutputOn_ = 0; // "ClipboardOutput"
    std::int32_t runAtStartup_ = 1;      // "RunAtStartup"
    std::int32_t outputFormat_ = 0;      // "OutputFormat": 0 PNG, 1 JPEG, 2 BMP
    std::int32_t magnifierOn_ = 1;       // "Magnifier": the region selection's magnifier
    CSystemTray tray_;
    UINT trayMessage_ = 0;
    bool preferencesOpen_ = false;
    cDiskFileOutput disk_;
    cFTPOutput ftp_;
    cClipboardOutput clipboard_;
    cEditorWnd editor_{this};
    cBinSettingBag settingBag_;
    bool captureInProgress_ = false;
    KeyboardHook keyboardHook_;
    IFrameOutput* diskOutput_ = nullptr;
    IFrameOutput* clipboardOutput_ = nullptr;
    IFrameOutput* ftpOutput_ = nullptr;
    IFrameOutputUpdate* statusUpdate_ = nullptr;
    FrameNameSequence frameNames_;
    bool started_ = false;
    bool shutDown_ = false;
    // Last, so it is released first when the object goes.
    InstanceLock instanceLock_;
};
