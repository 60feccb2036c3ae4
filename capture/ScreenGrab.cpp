#include "capture/ScreenGrab.h"

#include "platform/Handles.h"
#include "platform/ResourceException.h"

BITMAPINFOHEADER frameBitmapHeader(int width, int height) noexcept {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(BITMAPINFOHEADER);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    return header;
}

FramePtr grabFullScreen() {
    RECT rect;
    rect.left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    rect.top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    rect.right = rect.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    rect.bottom = rect.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    return grabRect(rect);
}

FramePtr grabWindow(HWND window) {
    RECT rect;
    if (!window || !::GetWindowRect(window, &rect))
        throw ResourceException();
    return grabRect(rect);
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
