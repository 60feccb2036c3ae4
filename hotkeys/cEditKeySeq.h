#pragma once

#include "hotkeys/KeySeq.h"
#include "platform/SubclassedControl.h"

#include <windows.h>

// A push-like button of a dialog that records every new key pressed while it has the keyboard
// focus and shows the keys recorded so far as its caption. It sees only what the dialog manager
// leaves to it: Tab, the arrows, Enter and Escape act on the dialog, and Alt, F10 and keys pressed
// with Alt held come as system key-downs.
class cEditKeySeq : public SubclassedControl {
public:
    // Replaces the recorded keys (an empty sequence clears them) and shows them.
    void setKeySeq(const KeySeq& sequence);
    const KeySeq& recordedKeys() const noexcept { return recordedKeys_; }

protected:
    // Appends a key that is not recorded yet; a held key's repeats are ignored. No key reaches the
    // button itself, where Space would push it.
    bool onKeyDown(UINT key, int repeatCount, UINT flags) override;

private:
    void showKeys();

    KeySeq recordedKeys_;
};
