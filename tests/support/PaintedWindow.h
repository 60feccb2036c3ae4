#pragma once

#include "platform/Window.h"

#include <windows.h>

#include <functional>

// A borderless topmost window that paints known content, so a test knows what the screen shows.
class PaintedWindow : public Window {
public:
    using Painter = std::function<void(HDC dc, int width, int height)>;

    // Shows the window at rect (screen coordinates) and waits until it has been painted.
    PaintedWindow(const RECT& rect, Painter painter);
    // Changes what the window paints and waits until the screen shows it.
    void repaint(Painter painter);

    // Fills rect with a solid colour.
    static void fill(HDC dc, const RECT& rect, COLORREF colour);

protected:
    bool onPaint() override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    Painter painter_;
};

// Runs the calling thread's messages for a while (windows paint, posted messages arrive).
void pumpMessagesFor(DWORD milliseconds);
// Pumps until the condition holds or the time is up; returns the condition.
bool pumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
