#pragma once

#include "output/IFrameOutput.h"

#include <windows.h>

// Puts each capture's frame on the clipboard as a bitmap; the format code does not matter. Reports
// success or failure through the update and lets nothing escape put.
class cClipboardOutput : public IFrameOutput {
public:
    void put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) override;
    void cancelPending() override {}

    // The window that owns what we place on the clipboard: the GUI thread's main window once the
    // application has one; none until then.
    void setOwner(HWND owner) noexcept { owner_ = owner; }
    HWND owner() const noexcept { return owner_; }

private:
    HWND owner_ = nullptr;
};
