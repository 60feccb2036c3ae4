#pragma once

// Stage timestamps of each capture, for the end-to-end benchmark's build only
// (-DPIXLANCE_STAGE_TIMES=ON). Without the option markStage is an empty inline function and no
// code, file or output of the program changes.
//
// A capture starts at Dispatched; HookCalled is the last key down the hook saw before it. The
// stamps (QueryPerformanceCounter) are written as one line per capture,
//   STAGES <frequency> <hook> <dispatched> <pixels> <converted> <encoded> <closed> <uploaded>
//   <copied> <overlay painted> <selection ended>
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
    // A region capture: the selection window's first complete paint, and the press or key that
    // ended the selection.
    OverlayPainted,
    SelectionEnded,
    Count
};

// The selection window's pointer moves: how long each took from its message to the repainted
// screen, written with the captures as lines "MOVES <frequency> <ticks> <ticks> ...".
#ifdef PIXLANCE_STAGE_TIMES
void markStage(Stage stage) noexcept;
long long stageClock() noexcept;
void markMoveShown(long long since) noexcept;
#else
inline void markStage(Stage) noexcept {}
inline long long stageClock() noexcept {
    return 0;
}
inline void markMoveShown(long long) noexcept {}
#endif
