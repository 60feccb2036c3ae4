#include "settings/SettingFile.h"

#include <cstdint>
#include <cstring>

namespace SettingFile {
namespace {

void putUint32(std::string& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void putUnits(std::string& out, const std::wstring& text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) {
        const auto unit = static_cast<std::uint32_t>(text[i]);
        out.push_back(static_cast<char>(unit & 0xFF));
        out.push_back(static_cast<char>((unit >> 8) & 0xFF));
    }
}

// Length of the stored text: up to its terminator, at most kMaxTextLength.
std::size_t storedLength(const std::wstring& text) {
    std::size_t length = 0;
    while (length < text.size() && length < kMaxTextLength && text[length] != L'\0')
        ++length;
    return length;
}

// Reads fields front to back; every read says whether the data held the whole field.
class Reader {
public:
    Reader(const unsigned char* data, std::size_t size) : data_(data), left_(size) {}

    bool uint32(std::uint32_t& value) {
        if (left_ < 4)
            return false;
        value = static_cast<std::uint32_t>(data_[0]) | static_cast<std::uint32_t>(data_[1]) << 8 |
                static_cast<std::uint32_t>(data_[2]) << 16 |
                static_cast<std::uint32_t>(data_[3]) << 24;
        advance(4);
        return true;
    }

    bool bytes(void* to, std::size_t count) {
        if (left_ < count)
            return false;
        std::memcpy(to, data_, count);
        advance(count);
        return true;
    }

    bool skip(std::size_t count) {
        if (left_ < count)
            return false;
        advance(count);
        return true;
    }

    // A field of byteSize bytes of UTF-16LE text: the text ends at an odd last byte, a zero code
    // unit or kMaxTextLength code units, and the whole field is consumed.
    bool text(std::uint32_t byteSize, std::wstring& value) {
        if (left_ < byteSize)
            return false;
        const std::size_t units = byteSize / 2;
        value.clear();
        for (std::size_t i = 0; i < units && i < kMaxTextLength; ++i) {
            const wchar_t unit = static_cast<wchar_t>(data_[2 * i] | data_[2 * i + 1] << 8);
            if (unit == L'\0')
                break;
            value.push_back(unit);
        }
        advance(byteSize);
        return true;
    }

private:
    void advance(std::size_t count) {
        data_ += count;
        left_ -= count;
    }

    const unsigned char* data_;
    std::size_t left_;
};

// One entry; false when the data does not hold it whole. known is false for a type that is skipped.
bool readEntry(Reader& in, std::wstring& key, SettingValue& value, bool& known) {
    std::uint32_t keySize = 0;
    std::uint32_t type = 0;
    std::uint32_t valueSize = 0;
    if (!in.uint32(keySize) || !in.text(keySize, key) || !in.uint32(type) || !in.uint32(valueSize))
        return false;
    known = true;
    switch (type) {
    case SettingString: {
        std::wstring text;
        if (!in.text(valueSize, text))
            return false;
        value = std::move(text);
        return true;
    }
    // The fixed width of the type is read, whatever the value size says.
    case SettingInt: {
        std::uint32_t number = 0;
        if (!in.uint32(number))
            return false;
        value = static_cast<std::int32_t>(number);
        return true;
    }
    case SettingDouble: {
        unsigned char raw[8];
        if (!in.bytes(raw, sizeof raw))
            return false;
        std::uint64_t bits = 0;
        for (int i = 7; i >= 0; --i)
            bits = bits << 8 | raw[i];
        double real = 0;
        std::memcpy(&real, &bits, sizeof real);
        value = real;
        return true;
    }
    case SettingBool: {
        unsigned char flag = 0;
        if (!in.bytes(&flag, 1))
            return false;
        value = flag != 0;
        return true;
    }
    default:
        known = false;
        return in.skip(valueSize);
    }
}

} // namespace

std::string encode(const SettingMap& entries) {
    std::string out;
    putUint32(out, static_cast<std::uint32_t>(entries.size()));
    for (const auto& [key, value] : entries) {
        putUint32(out, static_cast<std::uint32_t>(key.size() * 2));
        putUnits(out, key, key.size());
        putUint32(out, static_cast<std::uint32_t>(value.index()));
        switch (value.index()) {
        case SettingString: {
            const std::wstring& text = std::get<std::wstring>(value);
            const std::size_t length = storedLength(text);
            putUint32(out, static_cast<std::uint32_t>(length * 2));
            putUnits(out, text, length);
            break;
        }
        case SettingInt:
            putUint32(out, 4);
            putUint32(out, static_cast<std::uint32_t>(std::get<std::int32_t>(value)));
            break;
        case SettingDouble: {
            std::uint64_t bits = 0;
            const double real = std::get<double>(value);
            std::memcpy(&bits, &real, sizeof bits);
            putUint32(out, 8);
            putUint32(out, static_cast<std::uint32_t>(bits));
            putUint32(out, static_cast<std::uint32_t>(bits >> 32));
            break;
        }
        default:
            putUint32(out, 1);
            out.push_back(std::get<bool>(value) ? 1 : 0);
            break;
        }
    }
    return out;
}

SettingMap decode(const unsigned char* data, std::size_t size) {
    SettingMap entries;
    Reader in(data, size);
    std::uint32_t rawCount = 0;
    if (!in.uint32(rawCount))
        return entries;
    const auto count = static_cast<std::int32_t>(rawCount);
    for (std::int32_t i = 0; i < count; ++i) {
        std::wstring key;
        SettingValue value;
        bool known = false;
        if (!readEntry(in, key, value, known))
            break;
        if (known)
            entries[key] = std::move(value);
    }
    return entries;
}

} // namespace SettingFile
