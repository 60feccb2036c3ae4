#pragma once

#include "platform/FtpConnection.h"
#include "platform/Handles.h"

#include <string>

// A WinInet session with the system's preconfigured proxy settings; opens FTP connections.
// Failures raise InternetException.
class InternetSession {
public:
    explicit InternetSession(const std::wstring& agent, DWORD_PTR context = 1);
    InternetSession(InternetSession&&) noexcept = default;
    InternetSession& operator=(InternetSession&&) noexcept = default;

    // Port 0 lets WinInet use the protocol's default (21); active mode unless passive is asked.
    FtpConnection connectFtp(const std::wstring& server, const std::wstring& user,
                             const std::wstring& password, INTERNET_PORT port = 0,
                             bool passive = false) const;

    HINTERNET handle() const noexcept { return handle_.get(); }
    DWORD_PTR context() const noexcept { return context_; }
    // Closing the session also ends every connection and transfer opened through it.
    void close() noexcept { handle_.reset(); }

private:
    UniqueInternetHandle handle_;
    DWORD_PTR context_;
};
