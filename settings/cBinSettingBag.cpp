#include "settings/cBinSettingBag.h"

#include "platform/AppException.h"
#include "platform/DiskFile.h"
#include "platform/FileException.h"
#include "settings/SettingFile.h"

#include <windows.h>

#include <algorithm>

namespace {

// Keys and texts as the file keeps them.
std::wstring storedText(const std::wstring& text) {
    const std::size_t end = text.find(L'\0');
    return text.substr(0, std::min(end, SettingFile::kMaxTextLength));
}

AppException internalError() {
    return AppException(L"internal error");
}

std::string readWhole(const std::wstring& path) {
    DiskFile file(path, DiskFile::Mode::OpenRead);
    std::string bytes;
    char piece[64 * 1024];
    while (bytes.size() < SettingFile::kMaxFileSize) {
        const std::size_t wanted = std::min(sizeof piece, SettingFile::kMaxFileSize - bytes.size());
        const std::size_t got = file.read(piece, wanted);
        if (got == 0)
            break;
        bytes.append(piece, got);
    }
    return bytes;
}

} // namespace

template <typename T> bool cBinSettingBag::get(const std::wstring& key, T& value) const {
    const auto found = entries_.find(storedText(key));
    if (found == entries_.end() || !std::holds_alternative<T>(found->second))
        return false;
    value = std::get<T>(found->second);
    return true;
}

bool cBinSettingBag::set(const std::wstring& key, SettingValue value) {
    entries_[storedText(key)] = std::move(value);
    return true;
}

bool cBinSettingBag::getBool(const std::wstring& key, bool& value) {
    return get(key, value);
}
bool cBinSettingBag::getDouble(const std::wstring& key, double& value) {
    return get(key, value);
}
bool cBinSettingBag::getInt(const std::wstring& key, std::int32_t& value) {
    return get(key, value);
}
bool cBinSettingBag::getString(const std::wstring& key, std::wstring& value) {
    return get(key, value);
}

bool cBinSettingBag::setBool(const std::wstring& key, bool value) {
    return set(key, SettingValue(std::in_place_type<bool>, value));
}
bool cBinSettingBag::setDouble(const std::wstring& key, double value) {
    return set(key, SettingValue(std::in_place_type<double>, value));
}
bool cBinSettingBag::setInt(const std::wstring& key, std::int32_t value) {
    return set(key, SettingValue(std::in_place_type<std::int32_t>, value));
}
bool cBinSettingBag::setString(const std::wstring& key, const std::wstring& value) {
    return set(key, SettingValue(std::in_place_type<std::wstring>, storedText(value)));
}

void cBinSettingBag::readFile(const std::wstring& path) {
    entries_.clear();
    std::string bytes;
    try {
        bytes = readWhole(path);
    } catch (const FileException&) {
        throw internalError();
    }
    entries_ =
        SettingFile::decode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

void cBinSettingBag::writeFile(const std::wstring& path) {
    const std::string bytes = SettingFile::encode(entries_);
    const std::wstring temporary = path + L".tmp";
    try {
        DiskFile file(temporary, DiskFile::Mode::CreateReadWrite);
        file.write(bytes.data(), bytes.size());
        file.flush();
        file.close();
    } catch (const FileException&) {
        ::DeleteFileW(temporary.c_str());
        throw internalError();
    }
    if (!::MoveFileExW(temporary.c_str(), path.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::DeleteFileW(temporary.c_str());
        throw internalError();
    }
}
