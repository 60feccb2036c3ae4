// Any text (the bytes as UTF-16LE code units) as a server field: reading never misbehaves, the
// parts keep their rules, and the address formatted from them reads back as the same parts.
#include "FuzzChecks.h"
#include "output/FtpAddress.h"

#include <cstdint>
#include <cstdlib>

namespace {

void checkParts(const FtpAddress::Parts& parts) {
    check(!parts.scheme.empty());
    check(parts.host.find_first_of(L"/@") == std::wstring::npos);
    const bool bracketed = !parts.host.empty() && parts.host.front() == L'[';
    check(bracketed ? parts.host.back() == L']' : parts.host.find(L':') == std::wstring::npos);
    check(parts.user.find_first_of(L":/") == std::wstring::npos);
    check(!parts.object.empty() && parts.object.front() == L'/');
    check(!parts.portGiven || parts.port != 0);
    check(parts.hasUserInfo || (parts.user.empty() && !parts.hasPassword));

    const std::optional<FtpAddress::Parts> again = FtpAddress::parse(FtpAddress::format(parts));
    check(again && *again == parts);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring text;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const std::optional<FtpAddress::Parts> parts = FtpAddress::parse(text);
    if (text.find(L"://") == std::wstring::npos)
        check(!parts);
    if (parts)
        checkParts(*parts);

    const std::optional<FtpAddress::Parts> server = FtpAddress::parseServer(text);
    if (parts)
        check(server && *server == *parts);
    if (server)
        checkParts(*server);
    return 0;
}
