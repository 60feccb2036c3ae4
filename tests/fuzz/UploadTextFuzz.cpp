// Any text (the bytes as UTF-16LE code units, the first byte choosing the error code and the
// target) as a server's reply, a server name, a folder or a base address: the failure texts and
// the address rules never misbehave and keep their shapes.
#include "FuzzChecks.h"
#include "output/BuiltinTarget.h"
#include "output/UploadAddress.h"
#include "output/UploadFailureText.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    constexpr unsigned long kCodes[] = {0, 12002, 12003, 12013, 12014, 12015, 12029, 12031};
    const unsigned long code = kCodes[data[0] % 8];
    const bool custom = data[0] & 0x80;
    std::wstring text;
    for (std::size_t i = 1; i + 1 < size; i += 2)
        text.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    // What is left of a reply ends it, and no longer starts with a line of a positive code.
    const std::wstring reduced = UploadFailureText::reducedReply(text);
    check(reduced.size() <= text.size());
    check(text.compare(text.size() - reduced.size(), reduced.size(), reduced) == 0);
    check(!beginsWithReplyBelow300(reduced) || reduced.find(L'\n') == std::wstring::npos);

    const std::wstring shown = UploadFailureText::forFailure(code, text, custom, L"host");
    if (!custom)
        check(shown.find(BuiltinTarget::kWebSiteHost) != std::wstring::npos);
    else if (code == 12003)
        check(shown == L"Check your internet and firewall settings.\nMake sure you have access "
                       L"to host.\nDetails: " +
                           reduced);

    const std::wstring folder = UploadAddress::normalizeRemoteFolder(text);
    check(folder.front() == L'/' && (folder.back() == L'/' || folder.back() == L'\\'));
    check(UploadAddress::normalizeRemoteFolder(folder) == folder);
    if (const auto server = UploadAddress::ftpServer(text))
        check(!server->host.empty() && server->host.size() <= UploadAddress::kMaxServerLength);
    const std::wstring base = UploadAddress::normalizeBaseAddress(text);
    check(base.empty() == text.empty());
    return 0;
}
