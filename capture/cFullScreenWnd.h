#pragma once

#include "capture/OverlayPainter.h"
#include "capture/SelectionGesture.h"
#include "capture/SnapTargets.h"
#include "capture/cFrame.h"
#include "platform/Window.h"

#include <windows.h>

#include <optional>
#include <string>

// The full-screen window on which the user picks the region to capture, on a frozen frame of the
// whole virtual screen: a drag takes a rectangle, a click takes the window under the pointer, the
// arrow keys move the pointer by a pixel (ten with Shift) and Enter stands for a press and then a
// release. A magnifier follows the pointer ("M" shows or hides it) and a drag shows its size. The
// window only draws on the screen; the frame is never changed.
class cFullScreenWnd : public Window {
public:
    // The frame's pixel 0, 0 is the virtual screen's top-left corner, at origin on the screen.
    cFullScreenWnd(const cFrame& frozen, SelectionPoint origin, bool magnifierShown);
    ~cFullScreenWnd() override;

    // Shows the window over the frame's screen and returns when the selection has ended: the
    // rectangle taken, in frame pixels, or nothing (Escape, a right click, a click on the bare
    // desktop, an empty drag, or a window that can't be created). The window is destroyed again
    // before it returns. Called once for each window object.
    std::optional<SelectionRect> runSelection();
    bool magnifierShown() const noexcept { return magnifierShown_; }

    // The window class: double-clicks, cross-hair cursor, no background brush, no icon.
    static std::wstring windowClass();

protected:
    bool onPaint() override;
    bool onLeftButtonDown(POINT at) override;
    bool onMouseMove(POINT at) override;
    bool onLeftButtonUp(POINT at) override;
    bool onKeyDown(UINT key, int repeatCount, UINT flags) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void onUnhandledException(const AppException& error) noexcept override;

private:
    void pointerMoved(SelectionPoint at);
    void end(std::optional<SelectionRect> result) noexcept;
    // Brings the screen in line with the gesture: repaints only the parts that change.
    void refresh();
    OverlayPainter::Scene sceneNow() const;
    void invalidate(const OverlayPainter::Scene& scene) noexcept;
    SelectionRect screen() const noexcept { return {0, 0, frozen_.width, frozen_.height}; }

    const cFrame& frozen_;
    SelectionPoint origin_;
    bool magnifierShown_;
    SnapTargets targets_;
    SelectionGesture gesture_{targets_};
    OverlayPainter painter_{frozen_};
    OverlayPainter::Scene shown_;
    bool painted_ = false;
    std::optional<SelectionRect> result_;
};
