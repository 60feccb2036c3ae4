#include "hotkeys/cKeySettingsDlg.h"

#include "platform/ResourceException.h"
#include "res/HotKeyDialogIds.h"

cKeySettingsDlg::cKeySettingsDlg(cHotKeySettings* hotKeys) noexcept
    : Dialog(IDD_HOTKEYS), hotKeys_(hotKeys) {}

bool cKeySettingsDlg::onInitDialog() {
    if (!full_.attach(hwnd(), IDC_FULL_KEYS) || !select_.attach(hwnd(), IDC_SELECT_KEYS) ||
        !active_.attach(hwnd(), IDC_ACTIVE_KEYS) || !edit_.attach(hwnd(), IDC_EDIT_KEYS))
        throw ResourceException();
    full_.setKeySeq(hotKeys_->full);
    active_.setKeySeq(hotKeys_->active);
    select_.setKeySeq(hotKeys_->select);
    edit_.setKeySeq(hotKeys_->edit);
    // The recorders are no tab stops, so the focus goes to OK.
    return true;
}

bool cKeySettingsDlg::onCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_RESET_FULL:
        full_.setKeySeq({});
        return true;
    case IDC_RESET_SELECT:
        select_.setKeySeq({});
        return true;
    case IDC_RESET_ACTIVE:
        active_.setKeySeq({});
        return true;
    case IDC_RESET_EDIT:
        edit_.setKeySeq({});
        return true;
    case IDOK:
        saveKeys();
        endDialog(IDOK);
        return true;
    default:
        return Dialog::onCommand(id, code, control);
    }
}

void cKeySettingsDlg::saveKeys() {
    // Recorders that were never bound hold nothing the user chose; keep the table as it was.
    if (!full_.hwnd() || !select_.hwnd() || !active_.hwnd() || !edit_.hwnd())
        return;
    hotKeys_->active = active_.recordedKeys();
    hotKeys_->full = full_.recordedKeys();
    hotKeys_->select = select_.recordedKeys();
    hotKeys_->edit = edit_.recordedKeys();
    hotKeys_->publish();
}
