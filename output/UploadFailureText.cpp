#include "output/UploadFailureText.h"

#include "output/BuiltinTarget.h"

namespace UploadFailureText {

namespace {

constexpr unsigned long kExtendedError = 12003; // the server's own reply
constexpr unsigned long kIncorrectUserName = 12013;
constexpr unsigned long kIncorrectPassword = 12014;
constexpr unsigned long kLoginFailure = 12015; // what Wine reports for a refused login

bool isLoginRefused(unsigned long code) {
    return code == kIncorrectUserName || code == kIncorrectPassword || code == kLoginFailure;
}

// True when the text begins, after blanks, with a number below 300.
bool beginsWithCodeBelow300(const std::wstring& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t'))
        ++i;
    if (i >= text.size() || text[i] < L'0' || text[i] > L'9')
        return false;
    unsigned long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + static_cast<unsigned long>(text[i] - L'0');
        if (value >= 300)
            return false;
    }
    return true;
}

std::wstring newerVersionHint() {
    return std::wstring(L"You can go to ") + BuiltinTarget::kWebSiteHost +
           L" to check for newer version.\n";
}

} // namespace

std::wstring reducedReply(const std::wstring& reply) {
    std::wstring text = reply;
    std::size_t lineEnd;
    while (beginsWithCodeBelow300(text) && (lineEnd = text.find(L'\n')) != std::wstring::npos)
        text.erase(0, lineEnd + 1);
    return text;
}

// A refused login is reported by Windows as 12013 or 12014 and by Wine as 12015; all three are
// the same failure for the user.
std::wstring forFailure(unsigned long internetErrorCode, const std::wstring& message,
                        bool customTarget, const std::wstring& server) {
    if (internetErrorCode == kExtendedError) {
        if (!customTarget)
            return newerVersionHint();
        return L"Check your internet and firewall settings.\nMake sure you have access to " +
               server + L".\nDetails: " + reducedReply(message);
    }
    if (isLoginRefused(internetErrorCode))
        return customTarget ? L"Incorrect user name or password\n" : newerVersionHint();
    return customTarget ? message : L"\n" + newerVersionHint();
}

} // namespace UploadFailureText
