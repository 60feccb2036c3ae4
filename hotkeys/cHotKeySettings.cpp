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
    : full{kControl, kShift, 'F'}, active{kControl, kShift, 'A'}, select{kControl, kShift, 'S'},
      published_(std::make_shared<Published>()) {
    publish();
}

cHotKeySettings::cHotKeySettings(const cHotKeySettings& other)
    : full(other.full), active(other.active), select(other.select),
      published_(std::make_shared<Published>()) {
    publish();
}

cHotKeySettings& cHotKeySettings::operator=(const cHotKeySettings& other) {
    full = other.full;
    active = other.active;
    select = other.select;
    publish();
    return *this;
}

void cHotKeySettings::load(ISettingBag* bag) {
    full = loaded(bag, L"Full");
    active = loaded(bag, L"Active");
    select = loaded(bag, L"Select");
    publish();
}

void cHotKeySettings::save(ISettingBag* bag) {
    bag->setString(L"Full", formatKeySeq(full));
    bag->setString(L"Active", formatKeySeq(active));
    bag->setString(L"Select", formatKeySeq(select));
}

void cHotKeySettings::publish() {
    // The old value goes when its last reader lets go of it, possibly on the hook's thread.
    std::atomic_store(
        &published_->entries_,
        std::shared_ptr<const Entries>(std::make_shared<Entries>(Entries{full, active, select})));
}
