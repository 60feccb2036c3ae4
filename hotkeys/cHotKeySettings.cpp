#include "hotkeys/cHotKeySettings.h"

#include <optional>

namespace {

constexpr std::int32_t kControl = 17;
constexpr std::int32_t kShift = 16;
const KeySeq kDefaultEdit{kControl, kShift, 'E'};

// The stored text, or nothing when the key is missing or holds another type.
std::optional<std::wstring> storedText(ISettingBag* bag, const wchar_t* key) {
    std::wstring text;
    if (!bag->getString(key, text))
        return std::nullopt;
    return text;
}

} // namespace

cHotKeySettings::cHotKeySettings()
    : full{kControl, kShift, 'F'}, active{kControl, kShift, 'A'}, select{kControl, kShift, 'S'},
      edit(kDefaultEdit), published_(std::make_shared<Published>()) {
    publish();
}

cHotKeySettings::cHotKeySettings(const cHotKeySettings& other)
    : full(other.full), active(other.active), select(other.select), edit(other.edit),
      published_(std::make_shared<Published>()) {
    publish();
}

cHotKeySettings& cHotKeySettings::operator=(const cHotKeySettings& other) {
    full = other.full;
    active = other.active;
    select = other.select;
    edit = other.edit;
    publish();
    return *this;
}

void cHotKeySettings::load(ISettingBag* bag) {
    const std::optional<std::wstring> texts[] = {
        storedText(bag, L"Full"), storedText(bag, L"Active"), storedText(bag, L"Select")};
    KeySeq* entries[] = {&full, &active, &select};
    const bool anyStored = texts[0] || texts[1] || texts[2];
    for (std::size_t i = 0; i < 3; ++i) {
        // A damaged file keeps only the keys before the damage: a lost key must not silently turn
        // its hot key off, or the next save would make that permanent.
        if (texts[i])
            *entries[i] = parseKeySeq(*texts[i]);
        else if (!anyStored)
            entries[i]->clear();
    }
    const std::optional<std::wstring> editText = storedText(bag, L"Edit");
    edit = editText ? parseKeySeq(*editText) : kDefaultEdit;
    publish();
}

void cHotKeySettings::save(ISettingBag* bag) {
    bag->setString(L"Full", formatKeySeq(full));
    bag->setString(L"Active", formatKeySeq(active));
    bag->setString(L"Select", formatKeySeq(select));
    bag->setString(L"Edit", formatKeySeq(edit));
}

void cHotKeySettings::publish() {
    // The old value goes when its last reader lets go of it, possibly on the hook's thread.
    std::atomic_store(&published_->entries_,
                      std::shared_ptr<const Entries>(
                          std::make_shared<Entries>(Entries{full, active, select, edit})));
}
