// The capture dispatch of the application object.
#include "app/CPixlanceApp.h"

#include "hotkeys/CaptureRequest.h"
#include "app/FrameName.h"
#include "capture/FrameCut.h"
#include "capture/ScreenGrab.h"
#include "capture/cFullScreenWnd.h"
#include "platform/CallbackGuard.h"
#include "platform/ResourceException.h"
#include "platform/StageTimes.h"

#include <ctime>
#include <functional>

namespace {

// Built before any capture: the report that memory ran out must not need any.
const std::wstring kFailedTitle = L"Failed to capture screenshot";

// Holds the in-progress flag for one request and puts it back as it was on every way out (an
// edit may be sent from inside another request's modal loop).
class CaptureInProgress {
public:
    explicit CaptureInProgress(bool& flag) noexcept : flag_(flag), was_(flag) { flag_ = true; }
    CaptureInProgress(const CaptureInProgress&) = delete;
    CaptureInProgress& operator=(const CaptureInProgress&) = delete;
    ~CaptureInProgress() { flag_ = was_; }

private:
    bool& flag_;
    const bool was_;
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
    // One editor at a time: a second request finds the first.
    if (mode == CaptureRegionEdit && editor_.isOpen()) {
        editor_.bringToFront();
        return;
    }
    markStage(Stage::Dispatched);
    // Declared before the record, so the frame is freed first and the flag cleared last.
    CaptureInProgress inProgress(captureInProgress_);
    // The upload logs in while the screen is read or the region chosen; an edit may take
    // minutes, and its upload connects when it is sent.
    IFrameOutput* const uploadSoon = mode != CaptureRegionEdit ? ftpOutput_ : nullptr;
    if (uploadSoon)
        uploadSoon->expectCapture();
    stCaptureRecord capture;
    reportingFailures([&] { capture.frame = captureFrame(mode); });
    if (!capture.frame) {
        // Nothing to send: the login made for it goes.
        if (uploadSoon)
            uploadSoon->captureAbandoned();
        return;
    }
    if (mode != CaptureRegionEdit) {
        deliver(capture);
        return;
    }
    reportingFailures([&] {
        if (!editor_.open(*capture.frame))
            throw ResourceException();
    });
}

void CPixlanceApp::sendEdited(FramePtr frame) {
    // The flag as a capture has it while its outputs run.
    CaptureInProgress inProgress(captureInProgress_);
    stCaptureRecord capture;
    capture.frame = std::move(frame);
    deliver(capture);
}

void CPixlanceApp::copyEdited(FramePtr frame) {
    stCaptureRecord capture;
    capture.frame = std::move(frame);
    if (clipboardOutput_)
        putReporting(clipboardOutput_, capture);
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
    case CaptureRegion:
    case CaptureRegionEdit:
        return selectRegion();
    default:
        return nullptr;
    }
}

FramePtr CPixlanceApp::selectRegion() {
    // The selection runs on the whole screen as grabbed, and the region is cut from that same
    // frame: what the window draws is never in it.
    const RECT screen = virtualScreenRect();
    const FramePtr frozen = grabRect(screen);
    cFullScreenWnd window(*frozen, {screen.left, screen.top}, magnifierOn_ != 0);
    const std::optional<SelectionRect> selected = window.runSelection();
    if (window.magnifierShown() != (magnifierOn_ != 0)) {
        magnifierOn_ = window.magnifierShown() ? 1 : 0;
        saveSettings();
    }
    if (!selected)
        return nullptr;
    return cutFrame(*frozen, *selected);
}

void CPixlanceApp::deliver(stCaptureRecord& capture) {
    const FrameNameSequence::Name name = frameNames_.next(std::time(nullptr));
    capture.frame->name = name.name;
    capture.frame->nameNumber = name.number;
    IFrameOutput* outputs[3];
    std::size_t count = 0;
    if (diskOutputOn_ != 0 && diskOutput_)
        outputs[count++] = diskOutput_;
    if (clipboardOutputOn_ != 0 && clipboardOutput_)
        outputs[count++] = clipboardOutput_;
    if (ftpOutput_)
        outputs[count++] = ftpOutput_;
    // Each output stands alone: one that fails is reported, and the ones after it still run (an
    // upload still keeps the image that a missing folder could not take).
    for (std::size_t i = 0; i < count; ++i)
        putReporting(outputs[i], capture);
}

void CPixlanceApp::putReporting(IFrameOutput* output, stCaptureRecord& capture) noexcept {
    reportingFailures([&] { output->put(&capture, outputFormat_, statusUpdate_); });
}

void CPixlanceApp::reportingFailures(const std::function<void()>& work) noexcept {
    callGuarded<bool>(
        [&] {
            work();
            return true;
        },
        [this](const AppException& error) { reportFailure(error); }, false);
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
