#pragma once

#include <windows.h>

// Shows the wait cursor while the GUI thread is busy with a blocking call; the cursor shown before
// comes back when it goes.
class WaitCursor {
public:
    WaitCursor() noexcept : previous_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { ::SetCursor(previous_); }

private:
    HCURSOR previous_;
};
