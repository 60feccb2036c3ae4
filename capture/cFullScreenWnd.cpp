#include "capture/cFullScreenWnd.h"

#include "capture/FrameBitmapHeader.h"
#include "capture/ScreenGrab.h"
#include "capture/SelectionGeometry.h"

namespace {

constexpr UINT kRedrawNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

SelectionRect normalised(POINT a, POINT b) noexcept {
    return normalisedRect({a.x, a.y}, {b.x, b.y});
}

} // namespace

cFullScreenWnd::~cFullScreenWnd() {
    destroy();
    releaseSnapshot();
}

std::wstring cFullScreenWnd::windowClass() {
    return registerClass(CS_DBLCLKS, ::LoadCursorW(nullptr, IDC_CROSS), nullptr, nullptr);
}

void cFullScreenWnd::runSelection() {
    dragging = false;
    transferFailed = false;
    const RECT screen = virtualScreenRect();
    const std::wstring className = windowClass();
    if (!className.empty() &&
        create(WS_EX_TOPMOST, className, nullptr,
               WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_SYSMENU, screen, nullptr, 0)) {
        ::ShowWindow(hwnd(), SW_SHOW);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        runModalLoop();
        if (hwnd())
            ::SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE |
                               SWP_HIDEWINDOW);
    }
    destroy();
}

bool cFullScreenWnd::onSize(int, int) {
    releaseSnapshot();
    takeSnapshot();
    redraw(kRedrawNow);
    return false;
}

bool cFullScreenWnd::onPaint() {
    paint();
    return true;
}

bool cFullScreenWnd::onLeftButtonDown(POINT at) {
    anchorPoint = currentPoint = at;
    selectionRect = RECT{at.x, at.y, at.x, at.y};
    dragging = true;
    redraw(kRedrawNow);
    return false;
}

bool cFullScreenWnd::onMouseMove(POINT at) {
    if (dragging) {
        currentPoint = at;
        redraw(kRedrawNow);
    }
    return false;
}

bool cFullScreenWnd::onLeftButtonUp(POINT) {
    // A failed allocation leaves from here, before the loop ends: the window stays open with
    // an empty frame, so the user can drag again or press Escape.
    dragging = false;
    finishSelection();
    endModalLoop(1);
    return true;
}

bool cFullScreenWnd::onKeyDown(UINT key, int, UINT) {
    if (key == VK_ESCAPE) {
        selectionRect = RECT{};
        endModalLoop(1);
    }
    return false;
}

void cFullScreenWnd::onUnhandledException(const AppException&) noexcept {
    // A message box would block the frozen screen and sit under nothing the user expects; a
    // capture shows nothing modal. A beep says the release did not take, the window stays.
    ::MessageBeep(MB_ICONERROR);
}

void cFullScreenWnd::takeSnapshot() noexcept {
    const RECT screen = virtualScreenRect();
    const int width = screen.right - screen.left;
    const int height = screen.bottom - screen.top;
    const SelectionPoint source = snapshotPixelOnScreen({0, 0}, {screen.left, screen.top});

    WindowDC desktop = WindowDC::ofWindow(::GetDesktopWindow());
    if (desktop) {
        snapshotDC.reset(::CreateCompatibleDC(desktop.get()));
        snapshotBitmap.reset(::CreateCompatibleBitmap(desktop.get(), width, height));
        // The bitmap stays selected for the snapshot's life; releaseSnapshot deletes the DC first.
        if (snapshotDC && snapshotBitmap &&
            ::SelectObject(snapshotDC.get(), snapshotBitmap.get()) != nullptr)
            ::BitBlt(snapshotDC.get(), 0, 0, width, height, desktop.get(), source.x, source.y,
                     SRCCOPY);
    }
    selectionRect = RECT{};
    anchorPoint = POINT{0, 0};
    currentPoint = POINT{0, 0};
}

void cFullScreenWnd::releaseSnapshot() noexcept {
    // The DC goes first so that the bitmap is no longer selected when it is deleted.
    snapshotDC.reset();
    snapshotBitmap.reset();
}

void cFullScreenWnd::paint() noexcept {
    PaintDC paint(hwnd());
    if (!snapshotDC)
        return;
    RECT client;
    ::GetClientRect(hwnd(), &client);
    ::BitBlt(paint.get(), 0, 0, client.right, client.bottom, snapshotDC.get(), 0, 0, SRCCOPY);

    const SelectionRect outline = normalised(anchorPoint, currentPoint);
    if (outline.empty())
        return;
    UniquePen pen(::CreatePen(PS_DASH, 1, RGB(255, 0, 0)));
    if (!pen)
        return;
    ScopedSelectObject selectPen(paint.get(), pen.get());
    ::BeginPath(paint.get());
    ::MoveToEx(paint.get(), outline.left, outline.top, nullptr);
    ::LineTo(paint.get(), outline.left, outline.bottom);
    ::LineTo(paint.get(), outline.right, outline.bottom);
    ::LineTo(paint.get(), outline.right, outline.top);
    ::LineTo(paint.get(), outline.left, outline.top);
    ::EndPath(paint.get());
    ::StrokePath(paint.get());
}

void cFullScreenWnd::finishSelection() {
    const SelectionRect selection = normalised(anchorPoint, currentPoint);
    selectionRect = RECT{selection.left, selection.top, selection.right, selection.bottom};
    transferFailed = false;
    if (!targetFrame)
        return;
    cFrame& frame = *targetFrame;
    frame.allocate(selection.width(), selection.height());
    if (!frame.pixels)
        return;

    // A failed transfer leaves the frame empty rather than holding pixels that were never read.
    bool copied = false;
    UniqueMemoryDC memory(::CreateCompatibleDC(nullptr));
    UniqueBitmap bitmap(snapshotDC
                            ? ::CreateCompatibleBitmap(snapshotDC.get(), frame.width, frame.height)
                            : nullptr);
    if (memory && bitmap) {
        {
            ScopedSelectObject selectBitmap(memory.get(), bitmap.get());
            copied = selectBitmap.selected() &&
                     ::BitBlt(memory.get(), 0, 0, frame.width, frame.height, snapshotDC.get(),
                              selection.left, selection.top, SRCCOPY);
        }
        BITMAPINFO info{};
        info.bmiHeader = frameBitmapHeader(frame.width, frame.height);
        copied =
            copied && ::GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(frame.height),
                                  frame.pixels.get(), &info, DIB_RGB_COLORS) != 0;
    }
    if (!copied)
        frame.clear();
    transferFailed = !copied;
}

void cFullScreenWnd::redraw(UINT flags) noexcept {
    ::RedrawWindow(hwnd(), nullptr, nullptr, flags);
}
