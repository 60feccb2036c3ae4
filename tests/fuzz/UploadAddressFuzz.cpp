// Any three texts (the bytes as UTF-16LE code units, split at the first two zero code units) as
// the server, remote folder and public base address of an upload target: normalising keeps the
// forms the rules promise and changes nothing the second time, and the addresses composed from
// the normalised texts are made of exactly those texts.
#include "FuzzChecks.h"
#include "output/UploadAddress.h"

#include <cstdint>
#include <cstdlib>
#include <cwctype>
#include <string>
#include <vector>

namespace {

bool beginsWith(const std::wstring& text, const std::wstring& prefix) {
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::towlower(static_cast<wint_t>(text[i])) !=
            std::towlower(static_cast<wint_t>(prefix[i])))
            return false;
    return true;
}

bool endsWith(const std::wstring& text, const std::wstring& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

void checkServer(const std::wstring& server) {
    const std::optional<UploadAddress::stFtpServer> read = UploadAddress::ftpServer(server);
    if (!read)
        return;
    // The host is text of the field, never empty, never holding a path or a user; written back
    // with its port it reads the same.
    check(!read->host.empty() && read->host.size() <= UploadAddress::kMaxServerLength);
    check(server.find(read->host) != std::wstring::npos);
    check(read->host.find_first_of(L"/@") == std::wstring::npos);
    check(read->port >= 1);
    const std::optional<UploadAddress::stFtpServer> again =
        UploadAddress::ftpServer(read->host + L":" + std::to_wstring(read->port));
    check(again && again->host == read->host && again->port == read->port);
}

void checkBaseAddress(const std::wstring& base) {
    const std::wstring normal = UploadAddress::normalizeBaseAddress(base);
    check(normal.empty() == base.empty());
    if (base.empty())
        return;
    check(beginsWith(normal, L"http:") || beginsWith(normal, L"ftp:"));
    // Whatever text follows the scheme is kept, but for one closing slash; a text without any
    // scheme gets "http://".
    const bool schemed = beginsWith(base, L"http://") || beginsWith(base, L"ftp://");
    const std::wstring withoutClosing =
        (base.back() == L'/' || base.back() == L'\\') ? base.substr(0, base.size() - 1) : base;
    if (schemed)
        check(normal == withoutClosing);
    else if (!beginsWith(base, L"http") && !beginsWith(base, L"ftp"))
        check(normal == L"http://" + withoutClosing);
}

void checkAddresses(const std::wstring& server, const std::wstring& folder,
                    const std::wstring& base, const std::wstring& fileName) {
    const std::optional<UploadAddress::stFtpServer> read = UploadAddress::ftpServer(server);
    if (!read)
        return;
    const std::wstring normalServer = read->host;
    const std::wstring normalFolder = UploadAddress::normalizeRemoteFolder(folder);
    const std::wstring normalBase = UploadAddress::normalizeBaseAddress(base);

    const std::wstring path = UploadAddress::remotePath(normalFolder, fileName);
    check(path == normalFolder + fileName);
    check(path.front() == L'/');

    const std::wstring address =
        UploadAddress::publicAddress(normalBase, normalServer, normalFolder, fileName);
    if (!normalBase.empty()) {
        check(address == normalBase + L"/" + fileName);
        return;
    }
    // "http://", the server (without a leading "ftp." only), then the remote path.
    check(beginsWith(address, L"http://") && endsWith(address, path));
    const std::size_t hostLength = address.size() - 7 - path.size();
    const std::wstring host = address.substr(7, hostLength);
    if (beginsWith(normalServer, L"ftp."))
        check(host == normalServer.substr(4));
    else
        check(host == normalServer);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::wstring> texts(1);
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        const wchar_t c = static_cast<wchar_t>(data[i] | data[i + 1] << 8);
        if (c == L'\0' && texts.size() < 3)
            texts.emplace_back();
        else
            texts.back().push_back(c);
    }
    texts.resize(3);
    const std::wstring& server = texts[0];
    const std::wstring& folder = texts[1];
    const std::wstring& base = texts[2];

    checkServer(server);
    checkBaseAddress(base);
    checkAddresses(server, folder, base, L"01_02_24_10_20_30.png");
    return 0;
}
