#include "support/PaintedWindow.h"

#include "platform/Handles.h"

PaintedWindow::PaintedWindow(const RECT& rect, Painter painter) : painter_(std::move(painter)) {
    std::wstring cls = registerClass(0, ::LoadCursorW(nullptr, IDC_ARROW), nullptr, nullptr);
    create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, cls, L"Painted", WS_POPUP | WS_VISIBLE, rect, nullptr,
           0);
    ::SetForegroundWindow(hwnd());
    ::UpdateWindow(hwnd());
    pumpMessagesFor(300);
}

void PaintedWindow::repaint(Painter painter) {
    painter_ = std::move(painter);
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    pumpMessagesFor(300);
}

void PaintedWindow::fill(HDC dc, const RECT& rect, COLORREF colour) {
    UniqueBrush brush(::CreateSolidBrush(colour));
    ::FillRect(dc, &rect, brush.get());
}

bool PaintedWindow::onPaint() {
    PaintDC paint(hwnd());
    RECT client;
    ::GetClientRect(hwnd(), &client);
    if (painter_)
        painter_(paint.get(), client.right, client.bottom);
    return true;
}

bool PaintedWindow::onMessage(UINT message, WPARAM, LPARAM, LRESULT& result) {
    if (message != WM_ERASEBKGND)
        return false;
    result = 1;
    return true;
}

void pumpMessagesFor(DWORD milliseconds) {
    DWORD start = ::GetTickCount();
    MSG msg;
    while (::GetTickCount() - start < milliseconds) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    DWORD start = ::GetTickCount();
    MSG msg;
    while (!condition()) {
        if (::GetTickCount() - start >= timeoutMs)
            return condition();
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}
