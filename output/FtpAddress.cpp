#include "output/FtpAddress.h"

#include <algorithm>

namespace FtpAddress {

namespace {

constexpr wchar_t kSchemeEnd[] = L"://";

bool isAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool isDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

bool isSchemeText(const std::wstring& scheme) {
    if (scheme.empty() || !isAsciiLetter(scheme[0]))
        return false;
    for (wchar_t c : scheme)
        if (!isAsciiLetter(c) && !isDigit(c) && c != L'+' && c != L'-' && c != L'.')
            return false;
    return true;
}

std::wstring asciiLower(std::wstring text) {
    for (wchar_t& c : text)
        if (c >= L'A' && c <= L'Z')
            c = static_cast<wchar_t>(c - L'A' + L'a');
    return text;
}

Service serviceOf(const std::wstring& scheme) {
    const std::wstring name = asciiLower(scheme);
    if (name == L"ftp")
        return Service::Ftp;
    if (name == L"http")
        return Service::Http;
    if (name == L"https")
        return Service::Https;
    if (name == L"gopher")
        return Service::Gopher;
    if (name == L"file")
        return Service::File;
    return Service::Unknown;
}

std::uint16_t defaultPort(Service service) {
    switch (service) {
    case Service::Ftp:
        return 21;
    case Service::Http:
        return 80;
    case Service::Https:
        return 443;
    case Service::Gopher:
        return 70;
    default:
        return 0;
    }
}

// Decimal 1 to 65535, leading zeros allowed.
std::optional<std::uint16_t> portNumber(const std::wstring& text) {
    if (text.empty())
        return std::nullopt;
    unsigned long value = 0;
    for (wchar_t c : text) {
        if (!isDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
        if (value > 65535)
            return std::nullopt;
    }
    if (value == 0)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// "host", "host:port", "[v6]" or "[v6]:port"; an empty port means the default.
bool splitHostAndPort(const std::wstring& text, Parts& parts) {
    std::size_t hostEnd = 0;
    if (!text.empty() && text[0] == L'[') {
        const std::size_t close = text.find(L']');
        if (close == std::wstring::npos)
            return false;
        hostEnd = close + 1;
        if (hostEnd < text.size() && text[hostEnd] != L':')
            return false;
    } else {
        hostEnd = std::min(text.find(L':'), text.size());
    }
    parts.host = text.substr(0, hostEnd);
    if (hostEnd + 1 >= text.size())
        return true;
    const std::optional<std::uint16_t> port = portNumber(text.substr(hostEnd + 1));
    if (!port)
        return false;
    parts.port = *port;
    parts.portGiven = true;
    return true;
}

} // namespace

bool Parts::operator==(const Parts& other) const {
    return service == other.service && scheme == other.scheme && hasUserInfo == other.hasUserInfo &&
           user == other.user && hasPassword == other.hasPassword && password == other.password &&
           host == other.host && port == other.port && portGiven == other.portGiven &&
           object == other.object;
}

std::optional<Parts> parse(const std::wstring& text) {
    const std::size_t schemeEnd = text.find(kSchemeEnd);
    if (schemeEnd == std::wstring::npos || !isSchemeText(text.substr(0, schemeEnd)))
        return std::nullopt;
    Parts parts;
    parts.scheme = text.substr(0, schemeEnd);
    parts.service = serviceOf(parts.scheme);
    parts.port = defaultPort(parts.service);

    const std::size_t authorityStart = schemeEnd + 3;
    const std::size_t pathStart = std::min(text.find(L'/', authorityStart), text.size());
    if (pathStart < text.size())
        parts.object = text.substr(pathStart);
    std::wstring authority = text.substr(authorityStart, pathStart - authorityStart);

    // The last "@" ends the user's part, so a password may hold "@" but a host never does.
    const std::size_t at = authority.rfind(L'@');
    if (at != std::wstring::npos) {
        const std::wstring userInfo = authority.substr(0, at);
        parts.hasUserInfo = true;
        const std::size_t colon = userInfo.find(L':');
        parts.user = userInfo.substr(0, colon);
        if (colon != std::wstring::npos) {
            parts.hasPassword = true;
            parts.password = userInfo.substr(colon + 1);
        }
        authority.erase(0, at + 1);
    }
    if (!splitHostAndPort(authority, parts))
        return std::nullopt;
    return parts;
}

std::optional<Parts> parseServer(const std::wstring& server) {
    if (std::optional<Parts> parts = parse(server))
        return parts;
    return parse(L"ftp://" + server);
}

std::wstring format(const Parts& parts) {
    std::wstring text = parts.scheme + kSchemeEnd;
    if (parts.hasUserInfo) {
        text += parts.user;
        if (parts.hasPassword)
            text += L':' + parts.password;
        text += L'@';
    }
    text += parts.host;
    if (parts.portGiven)
        text += L':' + std::to_wstring(parts.port);
    return text + parts.object;
}

} // namespace FtpAddress
