// Any bytes as "Settings.dat": reading never fails or misbehaves, keeps keys and texts within
// bounds, and what it gives writes and reads back unchanged.
#include "FuzzChecks.h"
#include "settings/SettingFile.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool storable(const std::wstring& text) {
    return text.size() <= SettingFile::kMaxTextLength && text.find(L'\0') == std::wstring::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SettingMap entries = SettingFile::decode(data, size);
    for (const auto& [key, value] : entries) {
        check(storable(key));
        if (const auto* text = std::get_if<std::wstring>(&value))
            check(storable(*text));
    }
    // Each entry takes at least 12 bytes of the data.
    check(entries.size() <= size / 12);

    const std::string written = SettingFile::encode(entries);
    const SettingMap reread =
        SettingFile::decode(reinterpret_cast<const unsigned char*>(written.data()), written.size());
    check(reread.size() == entries.size());
    check(SettingFile::encode(reread) == written);
    return 0;
}
