#pragma once

#include <windows.h>

// The capture request that the keyboard hook posts to the GUI thread as a thread message; wParam
// is the mode.
constexpr UINT WM_CAPTURE_REQUEST = 0x6A6;
enum CaptureMode : WPARAM {
    CaptureFullScreen = 0,
    CaptureForegroundWindow = 1,
    CaptureRegion = 2,
    CaptureRegionEdit = 3, // a region, opened in the editor before it goes to the outputs
};
