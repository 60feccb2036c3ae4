#pragma once

// Stage timestamps of each capture, for the end-to-end benchmark's build only
// (-DPIXLANCE_STAGE_TIMES=ON). Without the option markStage is an empty inline function and no
// code, file or output of the program changes.
//
// A capture starts at Dispatched; HookCalled is the last key down the hook saw before it. The
// stamps (QueryPerformanceCounter) are written as one line per capture,
//   STAGES <frequency> <hook> <dispatched> <pixels> <converted> <encoded> <closed> <uploaded>
//   <copied>
// with 0 for a stage not reached, to the file named by the variable PIXLANCE_STAGE_TIMES: a
// capture's line once the next capture is dispatched, and the rest when the program ends.
enum class Stage {
    HookCalled,
    Dispatched,
    PixelsRead,
    FrameConverted,
    FileEncoded,
    FileClosed,
    UploadClosed,
    AddressCopied,
    Count
};

#ifdef PIXLANCE_STAGE_TIMES
void markStage(Stage stage) noexcept;
#else
inline void markStage(Stage) noexcept {}
#endif
