#include "hotkeys/cHotKeySettings.h"

namespace {

constexpr std::int32_t kControl = 17;
constexpr std::int32_t kShift = 16;

KeySeq loaded(ISettingBag* bag, const wchar_t* key) {
    std::wstring text;
    bag->getString(key, text);
    return parseKeySeq(text);
}

} // namespace

cHotKeySettings::cHotKeySettings()
    : full{kControl, kShift, 'F'}, active{kControl, kShift, 'A'}, select{kControl, kShift, 'S'} {}

void cHotKeySettings::load(ISettingBag* bag) {
    full = loaded(bag, L"Full");
    active = loaded(bag, L"Active");
    select = loaded(bag, L"Select");
}

void cHotKeySettings::save(ISettingBag* bag) {
    bag->setString(L"Full", formatKeySeq(full));
    bag->setString(L"Active", formatKeySeq(active));
    bag->setString(L"Select", formatKeySeq(select));
}
