#include "capture/ScreenGrab.h"

#include "capture/FrameBitmapHeader.h"
#include "platform/Handles.h"
#include "platform/ResourceException.h"

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
    UniqueBitmap bitmap(::CreateCompatibleBitmap(source.get(), width, height));
    if (!bitmap)
        throw ResourceException();
    {
        ScopedSelectObject selection(memory.get(), bitmap.get());
        if (!selection.selected() || !::BitBlt(memory.get(), 0, 0, width, height, source.get(),
                                               rect.left, rect.top, SRCCOPY))
            throw ResourceException();
    }

    FramePtr frame = makeEmptyFrame();
    frame->allocate(width, height);
    if (!frame->pixels)
        return frame;

    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(width, height);
    if (::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), frame->pixels.get(),
                    &info, DIB_RGB_COLORS) == 0)
        throw ResourceException();
    return frame;
}
