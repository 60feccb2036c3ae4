#pragma once

#include "capture/cFrame.h"

#include <windows.h>

// Grabs of the live screen. Each returns a new frame with an empty name, owned by the caller.
// A handle or transfer that fails raises ResourceException, a buffer that can't be had
// MemoryException; every handle taken is given back on every path.

// The whole virtual screen, all monitors, from its top-left corner (which may be negative).
FramePtr grabFullScreen();
// The window's visible bounds (no invisible resize borders) as the screen shows them, overlapping
// windows included, cut to the virtual screen. A window with no part on the screen raises
// ResourceException, as a missing window does.
FramePtr grabWindow(HWND window);
// A rectangle in screen coordinates.
FramePtr grabRect(const RECT& rect);

// The rectangle of all monitors together, in screen coordinates.
RECT virtualScreenRect() noexcept;
