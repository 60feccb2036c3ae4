#include "capture/ScreenGrab.h"

#include "capture/FrameBitmapHeader.h"
#include "platform/Handles.h"
#include "platform/ResourceException.h"
#include "platform/StageTimes.h"

#include <dwmapi.h>

RECT virtualScreenRect() noexcept {
    RECT rect;
    rect.left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    rect.top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    rect.right = rect.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    rect.bottom = rect.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return rect;
}

FramePtr grabFullScreen() {
    return grabRect(virtualScreenRect());
}

FramePtr grabWindow(HWND window) {
    if (!window)
        throw ResourceException();
    // The window rectangle takes in the invisible resize borders where the compositor draws them;
    // the frame bounds are what the screen shows of the window.
    RECT rect;
    if (FAILED(::DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &rect, sizeof rect)) &&
        !::GetWindowRect(window, &rect))
        throw ResourceException();
    // Off the screen there are no pixels to take; a window with nothing on it is nothing to grab.
    const RECT screen = virtualScreenRect();
    RECT shown;
    if (!::IntersectRect(&shown, &rect, &screen))
        throw ResourceException();
    return grabRect(shown);
}

FramePtr grabRect(const RECT& rect) {
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return makeEmptyFrame();

    // The desktop window's DC covers the whole virtual screen in screen coordinates.
    HWND desktop = ::GetDesktopWindow();
    WindowDC source = WindowDC::ofWindow(desktop);
    if (!desktop || !source)
        throw ResourceException();
    UniqueMemoryDC memory(::CreateCompatibleDC(nullptr));
    if (!memory)
        throw ResourceException();
    // The copy lands in a section of exactly the frame's layout, which the frame then takes over:
    // no conversion after the one the copy itself makes, and no second copy.
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(width, height);
    void* bits = nullptr;
    UniqueBitmap section(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits)
        throw ResourceException();
    {
        ScopedSelectObject selection(memory.get(), section.get());
        if (!selection.selected() || !::BitBlt(memory.get(), 0, 0, width, height, source.get(),
                                               rect.left, rect.top, SRCCOPY))
            throw ResourceException();
    }
    ::GdiFlush();
    markStage(Stage::PixelsRead);

    FramePtr frame = makeEmptyFrame();
    frame->adopt(
        static_cast<unsigned char*>(bits), width, height,
        [](void* owner) { ::DeleteObject(static_cast<HBITMAP>(owner)); }, section.release());
    markStage(Stage::FrameConverted);
    return frame;
}
