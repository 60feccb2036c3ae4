#include "platform/DialogData.h"

namespace DialogData {

int checked(HWND dialog, int id) {
    return ::IsDlgButtonChecked(dialog, id) == BST_CHECKED ? 1 : 0;
}

void setChecked(HWND dialog, int id, int state) {
    ::CheckDlgButton(dialog, id, state ? BST_CHECKED : BST_UNCHECKED);
}

std::wstring text(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    if (!control)
        return {};
    std::wstring value(static_cast<std::size_t>(::GetWindowTextLengthW(control)) + 1, L'\0');
    value.resize(static_cast<std::size_t>(
        ::GetWindowTextW(control, value.data(), static_cast<int>(value.size()))));
    return value;
}

void setText(HWND dialog, int id, const std::wstring& text) {
    ::SetDlgItemTextW(dialog, id, text.c_str());
}

int radioIndex(HWND dialog, std::initializer_list<int> ids) {
    int index = 0;
    for (int id : ids) {
        if (::IsDlgButtonChecked(dialog, id) == BST_CHECKED)
            return index;
        ++index;
    }
    return -1;
}

void setRadioIndex(HWND dialog, std::initializer_list<int> ids, int index) {
    int at = 0;
    for (int id : ids)
        ::CheckDlgButton(dialog, id, at++ == index ? BST_CHECKED : BST_UNCHECKED);
}

void addComboItem(HWND dialog, int id, const wchar_t* text) {
    ::SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

int comboSelection(HWND dialog, int id) {
    const LRESULT index = ::SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void setComboSelection(HWND dialog, int id, int index) {
    ::SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void enable(HWND dialog, int id, bool enabled) {
    ::EnableWindow(::GetDlgItem(dialog, id), enabled ? TRUE : FALSE);
}

} // namespace DialogData
