#pragma once

#include "output/IFrameOutputUpdate.h"
#include "output/stCaptureRecord.h"
#include "settings/ISettingPersist.h"

// Delivers captures to one destination and keeps its own settings.
class IFrameOutput : public ISettingPersist {
public:
    void load(ISettingBag*) override {}
    void save(ISettingBag*) override {}
    virtual ~IFrameOutput() = default;

    // Delivers one capture, lent for the call only; reports through update (may be null). What
    // the output produced goes into the record. Our exceptions that the output does not handle
    // itself leave put for the caller to report.
    virtual void put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) = 0;
    // Work still in flight after put must report nothing more.
    virtual void cancelPending() = 0;
    // A capture is about to come (the user is choosing it, or the screen is being read): an
    // output may make ready for it now. Returns at once.
    virtual void expectCapture() {}
    // The capture expected ended with nothing.
    virtual void captureAbandoned() {}
};
