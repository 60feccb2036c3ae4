#pragma once

#include "capture/cFrame.h"
#include "output/IFrameOutputUpdate.h"
#include "settings/ISettingPersist.h"

#include <memory>
#include <vector>

// Delivers frames to one destination and keeps its own settings.
class IFrameOutput : public ISettingPersist {
public:
    void load(ISettingBag*) override {}
    void save(ISettingBag*) override {}
    virtual ~IFrameOutput() = default;

    // Delivers one frame, lent for the call only; reports through update (may be null). Our
    // exceptions that the output does not handle itself leave put for the caller to report.
    virtual void put(const cFrame* frame, int format, IFrameOutputUpdate* update) = 0;
    // For an output that picks its files' names itself: the number (see cFrame::nameNumber) under
    // which the last put stored its frame, so that the outputs after it can use the same name.
    // 0 for the others, and when the last put stored nothing.
    virtual int storedNameNumber() const noexcept { return 0; }
    // The bytes of the file the last put stored, handed over once, for an output that keeps
    // them; null otherwise.
    virtual std::shared_ptr<const std::vector<unsigned char>> takeStoredBytes() noexcept {
        return nullptr;
    }
    // Whether this output sends the bytes another output has just stored (cFrame::savedImage).
    virtual bool usesSavedImage() const noexcept { return false; }
    // Work still in flight after put must report nothing more.
    virtual void cancelPending() = 0;
};
