#include "output/UploadAddress.h"

#include "output/FtpAddress.h"

#include <cwctype>

namespace UploadAddress {

namespace {

bool beginsWith(const std::wstring& text, const wchar_t* prefix) {
    std::size_t i = 0;
    for (; prefix[i] != L'\0'; ++i) {
        if (i >= text.size() || std::towlower(static_cast<wint_t>(text[i])) !=
                                    std::towlower(static_cast<wint_t>(prefix[i])))
            return false;
    }
    return true;
}

bool isSeparator(wchar_t c) {
    return c == L':' || c == L'/' || c == L'\\';
}

// The text after a mangled scheme: from the first ":", "/" or back slash on, with that run of
// separators skipped. Without ":" or "/" the whole text is the rest.
std::wstring restAfterScheme(const std::wstring& text) {
    if (text.find_first_of(L":/") == std::wstring::npos)
        return text;
    std::size_t start = text.find_first_of(L":/\\");
    while (start < text.size() && isSeparator(text[start]))
        ++start;
    return text.substr(start);
}

std::wstring withScheme(const std::wstring& text, const wchar_t* scheme) {
    std::wstring rest = restAfterScheme(text);
    return rest.empty() ? text : scheme + rest;
}

} // namespace

std::wstring normalizeRemoteFolder(const std::wstring& folder) {
    if (folder.empty())
        return L"/";
    std::wstring result = folder;
    if (result.back() != L'/' && result.back() != L'\\')
        result += L'/';
    if (result.front() != L'/')
        result.insert(result.begin(), L'/');
    return result;
}

std::optional<stFtpServer> ftpServer(const std::wstring& server) {
    const std::optional<FtpAddress::Parts> parts = FtpAddress::parseServer(server);
    if (!parts || parts->host.empty() || parts->host.size() > kMaxServerLength)
        return std::nullopt;
    if (parts->service != FtpAddress::Service::Ftp && parts->service != FtpAddress::Service::Http)
        return std::nullopt;
    // A colon after the host promises a port.
    if (!parts->portGiven && server.find(parts->host + L":") != std::wstring::npos)
        return std::nullopt;
    // "http://" is no web server here, only how older settings wrote the FTP host.
    return stFtpServer{parts->host, parts->portGiven ? parts->port : std::uint16_t{21}};
}

// A back slash typed instead of the slashes of a scheme is accepted only as a pair ("http:\\");
// a single one ("http:\host", "ftp:\host") is repaired like any other mangled scheme. Every
// address without a recognised scheme gets "http://", whatever its length.
std::wstring normalizeBaseAddress(const std::wstring& baseAddress) {
    if (baseAddress.empty())
        return baseAddress;
    std::wstring result = baseAddress;
    if (beginsWith(result, L"http")) {
        if (!beginsWith(result, L"http:\\\\") && !beginsWith(result, L"http://"))
            result = withScheme(result, L"http://");
    } else if (beginsWith(result, L"ftp")) {
        if (!beginsWith(result, L"ftp:\\\\") && !beginsWith(result, L"ftp://") &&
            !beginsWith(result, L"ftp."))
            result = withScheme(result, L"ftp://");
    }

    const bool hasScheme = beginsWith(result, L"ftp://") || beginsWith(result, L"ftp:\\\\") ||
                           beginsWith(result, L"http://") || beginsWith(result, L"http:\\\\");
    if (!hasScheme)
        result = L"http://" + result;

    if (result.back() == L'/' || result.back() == L'\\')
        result.pop_back();
    return result;
}

std::wstring remotePath(const std::wstring& normalizedFolder, const std::wstring& fileName) {
    return normalizedFolder + fileName;
}

std::wstring publicAddress(const std::wstring& baseAddress, const std::wstring& server,
                           const std::wstring& normalizedFolder, const std::wstring& fileName) {
    if (!baseAddress.empty())
        return baseAddress + L"/" + fileName;
    std::wstring host = beginsWith(server, L"ftp.") ? server.substr(4) : server;
    return L"http://" + host + remotePath(normalizedFolder, fileName);
}

} // namespace UploadAddress
