// The capture dispatch of the application object.
#include "app/CPixlanceApp.h"

#include "hotkeys/CaptureRequest.h"
#include "app/FrameName.h"
#include "capture/ScreenGrab.h"
#include "capture/cFullScreenWnd.h"
#include "platform/CallbackGuard.h"
#include "platform/ResourceException.h"
#include "platform/StageTimes.h"

#include <ctime>

namespace {

// Built before any capture: the report that memory ran out must not need any.
const std::wstring kFailedTitle = L"Failed to capture screenshot";

// Holds the in-progress flag for one request and clears it on every way out.
class CaptureInProgress {
public:
    explicit CaptureInProgress(bool& flag) noexcept : flag_(flag) { flag_ = true; }
    CaptureInProgress(const CaptureInProgress&) = delete;
    CaptureInProgress& operator=(const CaptureInProgress&) = delete;
    ~CaptureInProgress() { flag_ = false; }

private:
    bool& flag_;
};

} // namespace

void CPixlanceApp::setOutputs(IFrameOutput* toDisk, IFrameOutput* toClipboard,
                              IFrameOutput* toFtp) noexcept {
    diskOutput_ = toDisk;
    clipboardOutput_ = toClipboard;
    ftpOutput_ = toFtp;
}

void CPixlanceApp::OnCaptureRequest(WPARAM mode, LPARAM) {
    if (captureInProgress_)
        return;
    markStage(Stage::Dispatched);
    // Declared before the frame, so the frame is freed first and the flag cleared last.
    CaptureInProgress inProgress(captureInProgress_);
    FramePtr frame;
    callGuarded<bool>(
        [&] {
            frame = captureFrame(mode);
            if (frame)
                deliver(*frame);
            return true;
        },
        [this](const AppException& error) { reportFailure(error); }, false);
}

void CPixlanceApp::handleThreadMessage(const MSG& msg) {
    if (msg.message == WM_CAPTURE_REQUEST)
        OnCaptureRequest(msg.wParam, msg.lParam);
}

FramePtr CPixlanceApp::captureFrame(WPARAM mode) {
    switch (mode) {
    case CaptureFullScreen:
        return grabFullScreen();
    case CaptureForegroundWindow:
        return grabWindow(::GetForegroundWindow());
    case CaptureRegion: {
        FramePtr frame = makeEmptyFrame();
        {
            cFullScreenWnd window;
            window.targetFrame = frame.get();
            window.selectionRect = RECT{};
            window.runSelection();
            if (window.transferFailed)
                throw ResourceException();
        }
        if (frame->width == 0 || frame->height == 0)
            return nullptr;
        return frame;
    }
    default:
        return nullptr;
    }
}

void CPixlanceApp::deliver(cFrame& frame) {
    const FrameNameSequence::Name name = frameNames_.next(std::time(nullptr));
    frame.name = name.name;
    frame.nameNumber = name.number;
    frame.savedImageWanted = ftpOutput_ && ftpOutput_->usesSavedImage();
    IFrameOutput* outputs[3];
    std::size_t count = 0;
    if (diskOutputOn_ != 0 && diskOutput_)
        outputs[count++] = diskOutput_;
    if (clipboardOutputOn_ != 0 && clipboardOutput_)
        outputs[count++] = clipboardOutput_;
    if (ftpOutput_)
        outputs[count++] = ftpOutput_;
    for (std::size_t i = 0; i < count; ++i) {
        outputs[i]->put(&frame, outputFormat_, statusUpdate_);
        // The outputs after the disk output name the image as its file is named.
        if (outputs[i] == diskOutput_) {
            frame.writtenToDisk = true;
            if (const int stored = diskOutput_->storedNameNumber())
                frame.nameNumber = stored;
            frame.savedImage = diskOutput_->takeStoredBytes();
            frame.savedImageFormat = outputFormat_;
        }
    }
}

void CPixlanceApp::reportFailure(const AppException& error) noexcept {
    if (!statusUpdate_)
        return;
    try {
        // A text short enough is shown as it is, without a copy.
        if (error.message().size() <= AppException::kShownLength)
            statusUpdate_->notify(false, kFailedTitle, error.message());
        else
            statusUpdate_->notify(false, kFailedTitle, error.shownMessage());
    } catch (...) {
        // The status callback is the only place a capture reports to; there is nowhere further.
    }
}
