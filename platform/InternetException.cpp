#include "platform/InternetException.h"

#include "platform/SystemMessage.h"

#include <wininet.h>

#include <vector>

namespace {

// Codes for which the server's own reply says more than the system's text: an extended error, and
// a refused login ("530 ...").
bool serverReplyExplains(DWORD code) {
    return code == ERROR_INTERNET_EXTENDED_ERROR || code == ERROR_INTERNET_LOGIN_FAILURE ||
           code == ERROR_INTERNET_INCORRECT_PASSWORD || code == ERROR_INTERNET_INCORRECT_USER_NAME;
}

std::wstring describe(DWORD code) {
    if (serverReplyExplains(code)) {
        std::wstring reply = lastServerReply();
        if (!reply.empty())
            return reply;
    }
    std::wstring text = systemMessageText(code, ::GetModuleHandleW(L"wininet.dll"));
    if (text.empty())
        text = systemMessageText(code);
    if (text.empty())
        text = L"Internet error " + std::to_wstring(code) + L".";
    return text;
}

} // namespace

InternetException::InternetException(DWORD errorCode)
    : InternetException(errorCode, describe(errorCode)) {}

InternetException::InternetException(DWORD errorCode, std::wstring message)
    : AppException(std::move(message)), errorCode_(errorCode) {}

InternetException InternetException::withReply(DWORD errorCode, std::wstring reply) {
    return InternetException(errorCode, std::move(reply));
}

InternetException InternetException::fromLastError() {
    return InternetException(::GetLastError());
}

std::wstring lastServerReply() {
    DWORD error = 0;
    DWORD length = 0;
    ::InternetGetLastResponseInfoW(&error, nullptr, &length);
    if (length == 0)
        return {};
    std::vector<wchar_t> buffer(length + 1, L'\0');
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!::InternetGetLastResponseInfoW(&error, buffer.data(), &size))
        return {};
    // Wine counts the terminating zero in the size; the text ends at the first zero either way.
    buffer.back() = L'\0';
    return std::wstring(buffer.data());
}
