#pragma once

#include "hotkeys/KeySeq.h"
#include "settings/ISettingPersist.h"

// The three key combinations, each stored as the text of formatKeySeq under its key. The keyboard
// hook reads them at every key-down, so a change takes effect at once.
class cHotKeySettings : public ISettingPersist {
public:
    // Ctrl+Shift+F, Ctrl+Shift+A, Ctrl+Shift+S, with the generic modifier codes.
    cHotKeySettings();

    // Replaces each entry by the stored text under "Full", "Active", "Select"; a key that is
    // missing, or not a string, gives an empty entry (that hot key is off).
    void load(ISettingBag* bag) override;
    // Writes all three keys, empty entries included.
    void save(ISettingBag* bag) override;

    KeySeq full;   // captures the whole screen
    KeySeq active; // captures the foreground window
    KeySeq select; // captures a dragged region
};
