#include "output/cClipboardOutput.h"

#include "capture/FrameBitmapHeader.h"
#include "platform/AppException.h"
#include "platform/Handles.h"
#include "platform/OpenedClipboard.h"
#include "platform/ResourceException.h"

namespace {

// A device-dependent bitmap of the frame in the display's own format.
UniqueBitmap makeDisplayBitmap(const cFrame& frame) {
    if (frame.width <= 0 || frame.height <= 0 || !frame.pixels)
        throw ResourceException();
    WindowDC desktop = WindowDC::ofWindow(::GetDesktopWindow());
    if (!desktop)
        throw ResourceException();
    UniqueBitmap bitmap(::CreateCompatibleBitmap(desktop.get(), frame.width, frame.height));
    if (!bitmap)
        throw ResourceException();
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(frame.width, frame.height);
    if (::SetDIBits(desktop.get(), bitmap.get(), 0, static_cast<UINT>(frame.height),
                    frame.pixels.get(), &info, DIB_RGB_COLORS) != frame.height)
        throw ResourceException();
    return bitmap;
}

// False when the clipboard could not be had or refused the bitmap; then the bitmap stays ours.
bool placeOnClipboard(HWND owner, UniqueBitmap& bitmap) {
    OpenedClipboard clipboard(owner);
    if (!clipboard.isOpen() || !::EmptyClipboard())
        return false;
    if (!::SetClipboardData(CF_BITMAP, bitmap.get()))
        return false;
    // The clipboard owns it now.
    bitmap.release();
    return true;
}

} // namespace

void cClipboardOutput::put(stCaptureRecord* capture, int, IFrameOutputUpdate* update) {
    if (!capture || !capture->frame)
        return;
    bool copied = false;
    try {
        UniqueBitmap bitmap = makeDisplayBitmap(*capture->frame);
        copied = placeOnClipboard(owner_, bitmap);
    } catch (const AppException&) {
        copied = false;
    }
    if (!update)
        return;
    if (copied)
        update->notify(true, L"Copied image to clipboard", L"");
    else
        update->notify(false, L"Error", L"Failed to copy image to clipboard");
}
