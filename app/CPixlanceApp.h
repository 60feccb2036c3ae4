#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutput.h"
#include "output/IFrameOutputUpdate.h"

#include <windows.h>

#include <cstdint>
#include <string>

// The application object: owner of the outputs and the handler of capture requests.
class CPixlanceApp {
public:
    CPixlanceApp() = default;
    CPixlanceApp(const CPixlanceApp&) = delete;
    CPixlanceApp& operator=(const CPixlanceApp&) = delete;
    virtual ~CPixlanceApp() = default;

    // The outputs that every frame goes to (not owned; a null one is left out).
    void setOutputs(IFrameOutput* disk, IFrameOutput* clipboard, IFrameOutput* ftp) noexcept;
    // Where the outputs and the dispatch report to (not owned; may be null).
    void setStatusCallback(IFrameOutputUpdate* update) noexcept { statusUpdate = update; }

    // One capture request: grabs a frame in the given CaptureMode, names it after the local time
    // and hands it to the disk, clipboard and FTP outputs in that order. A request that arrives
    // while another is being handled (through a modal loop) is dropped.
    void OnCaptureRequest(WPARAM mode, LPARAM);

    // The GUI thread's window-less messages; install with MessagePump::setThreadMessageHandler so
    // that capture requests also arrive inside modal loops.
    void handleThreadMessage(const MSG& msg);

    std::int32_t diskOutputOn = 0;      // "DiskOutput"
    std::int32_t clipboardOutputOn = 0; // "ClipboardOutput"
    std::int32_t outputFormat = 0;      // "OutputFormat": 0 PNG, 1 JPEG, 2 BMP
    bool captureInProgress = false;

private:
    // The frame of one request, or none (an unknown mode, an empty selection).
    FramePtr captureFrame(WPARAM mode);
    void deliver(cFrame& frame);
    void reportFailure(const std::wstring& text) noexcept;

    IFrameOutput* diskOutput = nullptr;
    IFrameOutput* clipboardOutput = nullptr;
    IFrameOutput* ftpOutput = nullptr;
    IFrameOutputUpdate* statusUpdate = nullptr;
};
