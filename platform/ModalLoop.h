#pragma once

#include <windows.h>

// The one modal loop of our windows and dialogs. It takes messages through MessagePump, so
// window-less thread messages (capture requests) are still handled while it runs; its owner's
// top-level window is disabled meanwhile; a quit message ends it and is put back for the loop
// outside it.
class ModalLoop {
public:
    // Runs until end() or until the window goes away (windowGone); returns the result given to
    // end(), or -1 when the window went away or the application is quitting. navigation: the
    // window is a dialog whose keyboard navigation the loop performs.
    INT_PTR run(HWND window, HWND owner, bool navigation);
    // Ends the loop after the message being handled.
    void end(INT_PTR result) noexcept;
    // The window is being destroyed: a running loop ends with -1.
    void windowGone() noexcept;
    bool active() const noexcept { return active_; }

private:
    HWND window_ = nullptr;
    bool active_ = false;
    INT_PTR result_ = -1;
};
