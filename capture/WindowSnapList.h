#pragma once

#include "capture/SnapTargets.h"

#include <windows.h>

// The windows the screen shows now, as click targets in snapshot pixels (the virtual screen's
// top-left corner is pixel 0, 0): every visible top-level window from the front to the back,
// except the one given, minimised and cloaked ones, with its visible bounds where the compositor
// gives them; then its visible children. Each rectangle is cut to its parent and to the screen.
SnapTargets listSnapTargets(HWND skipped, const RECT& virtualScreen);
