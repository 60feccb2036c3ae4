#pragma once

#include "platform/AppException.h"

#include <windows.h>

// A WinInet call failed. Construct it on the failing thread right after the call: the error code
// and, for ERROR_INTERNET_EXTENDED_ERROR, the server's reply are read from that thread's state.
class InternetException : public AppException {
public:
    // Reads GetLastError() and, where it applies, the last server response.
    static InternetException fromLastError();

    explicit InternetException(DWORD errorCode);
    // For a client of our own: the code WinInet would give, and the server's reply as the text.
    static InternetException withReply(DWORD errorCode, std::wstring reply);

    DWORD errorCode() const noexcept { return errorCode_; }

private:
    InternetException(DWORD errorCode, std::wstring message);
    DWORD errorCode_;
};

// The server's reply text that WinInet kept for this thread's last FTP command; empty when there
// is none.
std::wstring lastServerReply();
