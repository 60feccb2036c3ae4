#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>

// Moving values between a dialog's controls and the variables they show: plain functions, each
// for one control of the dialog given by its id.
namespace DialogData {

// Check boxes as 0 or 1.
int checked(HWND dialog, int id);
void setChecked(HWND dialog, int id, int state);

// The whole text of an edit or any other control.
std::wstring text(HWND dialog, int id);
void setText(HWND dialog, int id, const std::wstring& text);

// A group of radio buttons, given by their ids in the group's order: the index of the checked one,
// or -1.
int radioIndex(HWND dialog, std::initializer_list<int> ids);
void setRadioIndex(HWND dialog, std::initializer_list<int> ids, int index);

// A combo box's items and selected index (-1 for none).
void addComboItem(HWND dialog, int id, const wchar_t* text);
int comboSelection(HWND dialog, int id);
void setComboSelection(HWND dialog, int id, int index);

void enable(HWND dialog, int id, bool enabled);

} // namespace DialogData
