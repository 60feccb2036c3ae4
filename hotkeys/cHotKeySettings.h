#pragma once

#include "hotkeys/KeySeq.h"
#include "settings/ISettingPersist.h"

#include <memory>

// The four key combinations, each stored as the text of formatKeySeq under its key.
//
// The members are edited on the GUI thread; the keyboard hook reads them on a thread of its own at
// every key-down. It reads the published copy: an immutable value swapped whole by atomic_store,
// whose lock covers only the pointer swap, so the hook never waits for the GUI thread and never
// sees half a change. Whatever changes the members publishes them (load does, and so does the hot
// key dialog's OK); a change takes effect from the next key-down.
class cHotKeySettings : public ISettingPersist {
public:
    struct Entries {
        KeySeq full;
        KeySeq active;
        KeySeq select;
        KeySeq edit;
    };

    // The published entries, safe to read from any thread. Its holders keep it alive, so a reader
    // never depends on the lifetime of the table.
    class Published {
    public:
        std::shared_ptr<const Entries> read() const noexcept { return std::atomic_load(&entries_); }

    private:
        friend class cHotKeySettings;
        std::shared_ptr<const Entries> entries_;
    };

    // Ctrl+Shift+F, Ctrl+Shift+A, Ctrl+Shift+S, Ctrl+Shift+E, with the generic modifier codes;
    // published.
    cHotKeySettings();
    // A copy publishes to readers of its own: the original's readers never see the copy's changes.
    cHotKeySettings(const cHotKeySettings& other);
    cHotKeySettings& operator=(const cHotKeySettings& other);

    // Replaces each entry by the stored text under "Full", "Active", "Select" and publishes them. A
    // bag with none of the three (missing or not a string) turns all three off; when only some are
    // there, as after a damaged file, the others keep their combinations. "Edit" came later than
    // the three: a bag without it gives Ctrl+Shift+E.
    void load(ISettingBag* bag) override;
    // Writes all four keys, empty entries included.
    void save(ISettingBag* bag) override;

    // Makes the members, as they are now, what readers of published() get from their next read.
    void publish();
    std::shared_ptr<const Published> published() const noexcept { return published_; }

    KeySeq full;   // captures the whole screen
    KeySeq active; // captures the foreground window
    KeySeq select; // captures a dragged region
    KeySeq edit;   // captures a dragged region into the editor

private:
    std::shared_ptr<Published> published_;
};
