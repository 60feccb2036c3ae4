#pragma once
#include <windows.h>
// The capture request: a thread message to the GUI thread; wParam is the mode.
constexpr UINT WM_CAPTURE_REQUEST = 0x6A6;
enum CaptureMode : WPARAM { CaptureFullScreen = 0, CaptureForegroundWindow = 1, CaptureRegion = 2 };
