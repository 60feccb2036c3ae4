// The editor window's keys, wheel, scroll bars and ways out.
#include "editor/cEditorWnd.h"

#include "editor/EditorFrame.h"
#include "platform/YesNoQuestion.h"

#include <windowsx.h>

namespace {
bool keyHeld(int key) {
    return (::GetKeyState(key) & 0x8000) != 0;
}
} // namespace

bool cEditorWnd::onKeyDown(UINT key, int, UINT) {
    if (keyHeld(VK_CONTROL))
        return onControlKey(key);
    switch (key) {
    case VK_RETURN:
        // The first Enter ends the text being typed; an Enter without one sends.
        if (session_->endText())
            changed();
        else
            send();
        return true;
    case VK_ESCAPE:
        if (session_->typing()) {
            session_->cancelText();
            redraw();
        } else {
            closeAsked();
        }
        return true;
    case VK_BACK:
        session_->backspace();
        redraw();
        return true;
    case VK_DELETE:
        if (!session_->typing() && session_->removeSelectedOrLast())
            changed();
        return true;
    default:
        break;
    }
    // Letters choose tools unless they are being typed (they come as characters then).
    EditorTool tool;
    if (!session_->typing() && key >= 'A' && key <= 'Z' &&
        toolForKey(static_cast<wchar_t>(key), tool)) {
        session_->chooseTool(tool);
        changed();
        return true;
    }
    return false;
}

bool cEditorWnd::onControlKey(UINT key) {
    switch (key) {
    case 'Z':
        if (session_->undo())
            changed();
        return true;
    case 'Y':
        if (session_->redo())
            changed();
        return true;
    case 'S':
        session_->endText();
        send();
        return true;
    case 'C':
        if (session_->endText())
            changed();
        copy();
        return true;
    default:
        return false;
    }
}

void cEditorWnd::onChar(wchar_t c) {
    if (session_->typing()) {
        session_->type(c);
        redraw();
        return;
    }
    if (c == L'[' || c == L']') {
        session_->chooseWidth(widthIndexAfter(session_->widthIndex(), c == L']'));
        redraw();
    }
}

void cEditorWnd::onWheel(int delta, bool zoom) {
    if (zoom) {
        view_.zoomStep(delta > 0);
    } else {
        view_.scrollTo(view_.scrollX(), view_.scrollY() - delta / WHEEL_DELTA * 60);
    }
    updateScrollBars();
    redraw();
}

void cEditorWnd::onScroll(int bar, int request) {
    SCROLLINFO info{sizeof(info), SIF_ALL, 0, 0, 0, 0, 0};
    ::GetScrollInfo(hwnd(), bar, &info);
    int pos = info.nPos;
    switch (request) {
    case SB_LINEUP:
        pos -= 40;
        break;
    case SB_LINEDOWN:
        pos += 40;
        break;
    case SB_PAGEUP:
        pos -= static_cast<int>(info.nPage);
        break;
    case SB_PAGEDOWN:
        pos += static_cast<int>(info.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        pos = info.nTrackPos;
        break;
    default:
        return;
    }
    if (bar == SB_HORZ)
        view_.scrollTo(pos, view_.scrollY());
    else
        view_.scrollTo(view_.scrollX(), pos);
    updateScrollBars();
    redraw();
}

bool cEditorWnd::onMessage(UINT message, WPARAM wParam, LPARAM, LRESULT& result) {
    switch (message) {
    case WM_CHAR:
        onChar(static_cast<wchar_t>(wParam));
        result = 0;
        return true;
    case WM_MOUSEWHEEL:
        onWheel(GET_WHEEL_DELTA_WPARAM(wParam), (GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0);
        result = 0;
        return true;
    case WM_HSCROLL:
    case WM_VSCROLL:
        onScroll(message == WM_HSCROLL ? SB_HORZ : SB_VERT, LOWORD(wParam));
        result = 0;
        return true;
    case WM_CLOSE:
        closeAsked();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = 1;
        return true;
    default:
        return false;
    }
}

void cEditorWnd::send() {
    // The image on the screen is flattened already after each step: the frame takes it over,
    // and the send costs no drawing and no copy.
    refreshFlat();
    FramePtr frame = frameOf(std::move(flat_));
    flat_ = stEditImage();
    // Closed first: the outputs may take a while, and the image is final now.
    destroy();
    if (output_ && frame->pixels)
        output_->sendEdited(std::move(frame));
}

void cEditorWnd::copy() {
    refreshFlat();
    if (output_)
        output_->copyEdited(frameOf(flat_));
}

void cEditorWnd::closeAsked() {
    if (session_->document().edited() && !askYesNo(hwnd(), L"放弃修改?", kCaption))
        return;
    destroy();
}
