// Any text (the bytes as UTF-16LE code units) as a server's reply: reducing it drops whole lines
// from its start, each of them a reply of a code below 300, and nothing else; reducing what is
// left changes nothing. A size is read only from a "213 " reply, and is the number written there.
#include "FuzzChecks.h"
#include "output/UploadFailureText.h"
#include "output/upload/ServerReply.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::wstring reply;
    for (std::size_t i = 0; i + 1 < size; i += 2)
        reply.push_back(static_cast<wchar_t>(data[i] | data[i + 1] << 8));

    const std::wstring reduced = UploadFailureText::reducedReply(reply);
    check(reduced.size() <= reply.size());
    const std::wstring dropped = reply.substr(0, reply.size() - reduced.size());
    check(reply == dropped + reduced);

    // Only whole lines go, every one a positive reply.
    check(dropped.empty() || dropped.back() == L'\n');
    for (std::size_t start = 0; start < dropped.size();) {
        const std::size_t end = dropped.find(L'\n', start);
        check(beginsWithReplyBelow300(dropped.substr(start, end - start)));
        start = end + 1;
    }
    // It stops at the first line that says something: a reply of 300 or more, any other text,
    // or the last line, which is kept even when positive.
    if (!reduced.empty() && reduced.find(L'\n') != std::wstring::npos)
        check(!beginsWithReplyBelow300(reduced.substr(0, reduced.find(L'\n'))));
    check(UploadFailureText::reducedReply(reduced) == reduced);

    if (const auto size = ServerReply::fileSize(reply)) {
        check(reply.compare(0, 4, L"213 ") == 0);
        const std::wstring written = std::to_wstring(*size);
        check(reply.compare(4, written.size(), written) == 0 || reply[4] == L'0');
    }
    const int code = ServerReply::code(reply);
    check(code == 0 || (code >= 100 && code <= 999) || (code < 100 && reply[0] == L'0'));
    check(ServerReply::isRefusal(reply) == (code >= 400));
    return 0;
}
