#pragma once

#include "hotkeys/cEditKeySeq.h"
#include "hotkeys/cHotKeySettings.h"
#include "platform/Dialog.h"

#include <windows.h>

// The hot key dialog: one recorder and one Reset button for each of the Full, Select, Active and
// Edit combinations. OK writes the four recorded sequences into the table and publishes them, so the
// keyboard hook uses them from the next key-down on; Cancel, Escape and the close box leave it
// alone. Run it with runModal(owner).
class cKeySettingsDlg : public Dialog {
public:
    // hotKeys: the application's table, not owned; it must outlive the dialog.
    explicit cKeySettingsDlg(cHotKeySettings* hotKeys) noexcept;

protected:
    bool onInitDialog() override;
    bool onCommand(int id, int code, HWND control) override;

private:
    void saveKeys();

    cHotKeySettings* hotKeys_;
    cEditKeySeq full_;
    cEditKeySeq select_;
    cEditKeySeq active_;
    cEditKeySeq edit_;
};
