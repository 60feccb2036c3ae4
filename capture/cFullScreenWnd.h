#pragma once

#include "capture/cFrame.h"
#include "platform/Handles.h"
#include "platform/Window.h"

#include <windows.h>

#include <string>

// The full-screen window on which the user drags the region to capture. It freezes the screen as
// it opens, outlines the rectangle being dragged and, on release, copies that part of the frozen
// image into targetFrame.
class cFullScreenWnd : public Window {
public:
    cFullScreenWnd() = default;
    ~cFullScreenWnd() override;

    // Shows the window over the whole virtual screen and returns when the selection has ended
    // (button released or Escape), or at once when the window can't be created. The window is
    // destroyed again before it returns.
    void runSelection();

    // The window class: double-clicks, cross-hair cursor, no background brush, no icon.
    static std::wstring windowClass();

    cFrame* targetFrame = nullptr; // not owned
    UniqueMemoryDC snapshotDC;
    UniqueBitmap snapshotBitmap;
    RECT selectionRect{};
    // Set when the last release had a rectangle but its pixels could not be copied: the frame is
    // then empty as after Escape, and only this tells the two apart.
    bool transferFailed = false;
    bool dragging = false;
    POINT anchorPoint{};
    POINT currentPoint{};

protected:
    bool onSize(int width, int height) override;
    bool onPaint() override;
    bool onLeftButtonDown(POINT at) override;
    bool onMouseMove(POINT at) override;
    bool onLeftButtonUp(POINT at) override;
    bool onKeyDown(UINT key, int repeatCount, UINT flags) override;
    void onUnhandledException(const AppException& error) noexcept override;

private:
    void takeSnapshot() noexcept;
    void releaseSnapshot() noexcept;
    void paint() noexcept;
    void finishSelection();
    void redraw(UINT flags) noexcept;
};
