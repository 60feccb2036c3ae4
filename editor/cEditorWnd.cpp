#include "editor/cEditorWnd.h"

#include "capture/FrameBitmapHeader.h"
#include "editor/EditorFrame.h"
#include "editor/EditorToolbar.h"
#include "editor/Flatten.h"

#include <windowsx.h>

#include <algorithm>

cEditorWnd::~cEditorWnd() {
    destroy();
}

bool cEditorWnd::open(const cFrame& frame) {
    if (isOpen() || frame.width <= 0 || frame.height <= 0)
        return false;
    session_ = std::make_unique<cEditorSession>(editImageOf(frame));
    view_ = EditorView();
    view_.setImage(session_->document().crop());
    flat_ = stEditImage();
    refreshFlat();
    // At 100 %, as large as the image and the toolbar, within the work area.
    RECT work{0, 0, 1920, 1080};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_HSCROLL | WS_VSCROLL;
    RECT frameRect{0, 0, std::max(frame.width, EditorToolbar::width()),
                   frame.height + EditorView::kToolbarHeight};
    ::AdjustWindowRectEx(&frameRect, style, FALSE, 0);
    const int w = std::min<int>(frameRect.right - frameRect.left, work.right - work.left);
    const int h = std::min<int>(frameRect.bottom - frameRect.top, work.bottom - work.top);
    const RECT placed{work.left + (work.right - work.left - w) / 2,
                      work.top + (work.bottom - work.top - h) / 2, 0, 0};
    const RECT rect{placed.left, placed.top, placed.left + w, placed.top + h};
    // A class of its own, apart from the selection window's: what looks for that one (or skips
    // it) must not take the editor for it.
    const std::wstring cls = registerClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                           ::LoadCursorW(nullptr, IDC_CROSS), nullptr, nullptr);
    if (!create(0, cls, kCaption, style, rect, nullptr, 0))
        return false;
    updateScrollBars();
    ::ShowWindow(hwnd(), SW_SHOW);
    bringToFront();
    return true;
}

void cEditorWnd::bringToFront() noexcept {
    if (!isOpen())
        return;
    if (::IsIconic(hwnd()))
        ::ShowWindow(hwnd(), SW_RESTORE);
    ::SetForegroundWindow(hwnd());
    ::SetFocus(hwnd());
}

stEditImage cEditorWnd::shownImage() const {
    const cEditDocument& doc = session_->document();
    if (session_->moving()) {
        std::vector<stShape> shapes = doc.shapes();
        const stEditPoint by = session_->moveOffset();
        stShape& moved = shapes[static_cast<std::size_t>(session_->selected())];
        moved = movedShape(moved, by.x, by.y);
        return flatten(doc.original(), doc.crop(), shapes, const_cast<GdiShapePainter*>(&painter_));
    }
    stEditImage image = flat_;
    if (const std::optional<stShape> pending = session_->pending()) {
        stShape shown = movedShape(*pending, -doc.crop().left, -doc.crop().top);
        // The text being typed shows a caret after it.
        if (shown.kind == ShapeKind::Text)
            shown.text += L'|';
        applyShape(image, shown, const_cast<GdiShapePainter*>(&painter_));
    }
    return image;
}

bool cEditorWnd::onPaint() {
    PaintDC paint(hwnd());
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    const stEditImage image = shownImage();
    UniqueBitmap buffer(::CreateCompatibleBitmap(paint.get(), client.right, client.bottom));
    UniqueMemoryDC dc(::CreateCompatibleDC(paint.get()));
    ScopedSelectObject useBuffer(dc.get(), buffer.get());
    ::FillRect(dc.get(), &client, reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1));
    BITMAPINFO info{};
    info.bmiHeader = frameBitmapHeader(image.width, image.height);
    const stEditRect kept = session_->document().crop();
    ::SetStretchBltMode(dc.get(), COLORONCOLOR);
    ::StretchDIBits(dc.get(), view_.toWindowX(kept.left), view_.toWindowY(kept.top),
                    view_.shownWidth(), view_.shownHeight(), 0, 0, image.width, image.height,
                    image.bytes.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    const int selected = session_->selected();
    if (selected >= 0 && !session_->moving() &&
        static_cast<std::size_t>(selected) < session_->document().shapes().size()) {
        const stEditRect b =
            session_->document().shapes()[static_cast<std::size_t>(selected)].pointBounds();
        RECT mark{view_.toWindowX(b.left) - 4, view_.toWindowY(b.top) - 4,
                  view_.toWindowX(b.right) + 4, view_.toWindowY(b.bottom) + 4};
        ::DrawFocusRect(dc.get(), &mark);
    }
    EditorToolbar::paint(dc.get(), client, *session_);
    ::BitBlt(paint.get(), 0, 0, client.right, client.bottom, dc.get(), 0, 0, SRCCOPY);
    return true;
}

bool cEditorWnd::onSize(int, int) {
    updateScrollBars();
    return false;
}

void cEditorWnd::updateScrollBars() {
    if (!isOpen() || !session_)
        return;
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    view_.setImage(session_->document().crop());
    view_.clampScroll(client.right, client.bottom);
    SCROLLINFO bar{sizeof(bar), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 0, 0, 0, 0};
    bar.nMax = view_.shownWidth() - 1;
    bar.nPage = static_cast<UINT>(std::max<LONG>(client.right, 0));
    bar.nPos = view_.scrollX();
    ::SetScrollInfo(hwnd(), SB_HORZ, &bar, TRUE);
    bar.nMax = view_.shownHeight() - 1;
    bar.nPage = static_cast<UINT>(std::max<LONG>(client.bottom - EditorView::kToolbarHeight, 0));
    bar.nPos = view_.scrollY();
    ::SetScrollInfo(hwnd(), SB_VERT, &bar, TRUE);
}

void cEditorWnd::refreshFlat() {
    // Steps that change nothing (a click, a tool chosen) cost no drawing.
    if (!flat_.bytes.empty() && flatRevision_ == session_->document().revision())
        return;
    flat_ = flattenDocument(session_->document(), &painter_);
    flatRevision_ = session_->document().revision();
}

void cEditorWnd::changed() {
    refreshFlat();
    updateScrollBars();
    redraw();
}

void cEditorWnd::redraw() {
    ::InvalidateRect(hwnd(), nullptr, FALSE);
}

bool cEditorWnd::onLeftButtonDown(POINT at) {
    ::SetFocus(hwnd());
    if (at.y < EditorView::kToolbarHeight) {
        EditorToolbar::choose(EditorToolbar::cellAt(at), *session_);
        changed();
        return true;
    }
    ::SetCapture(hwnd());
    dragging_ = true;
    session_->press(view_.toImage(at.x, at.y));
    changed();
    return true;
}

bool cEditorWnd::onMouseMove(POINT at) {
    if (!dragging_)
        return false;
    session_->drag(view_.toImage(at.x, at.y));
    redraw();
    return true;
}

bool cEditorWnd::onLeftButtonUp(POINT at) {
    if (!dragging_)
        return false;
    dragging_ = false;
    ::ReleaseCapture();
    session_->release(view_.toImage(at.x, at.y));
    changed();
    return true;
}
