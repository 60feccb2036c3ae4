#pragma once

#include "platform/FtpConnection.h"
#include "platform/Handles.h"

#include <mutex>
#include <string>

// A WinInet session with the system's preconfigured proxy settings; opens FTP connections.
// Failures raise InternetException. Any thread may connect while another closes the session: the
// connection then fails, or is ended by the close.
class InternetSession {
public:
    // timeoutMs: how long each connection, send and reply may take (setInternetTimeouts); 0 leaves
    // WinInet's own.
    explicit InternetSession(const std::wstring& agent, DWORD_PTR context = 1, DWORD timeoutMs = 0);
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // Port 0 lets WinInet use the protocol's default (21); active mode unless passive is asked. The
    // connection gets the session's timeouts.
    FtpConnection connectFtp(const std::wstring& server, const std::wstring& user,
                             const std::wstring& password, INTERNET_PORT port = 0,
                             bool passive = false) const;

    HINTERNET handle() const;
    DWORD_PTR context() const noexcept { return context_; }
    // Closing the session also ends every connection and transfer opened through it.
    void close() noexcept;

private:
    mutable std::mutex lock_; // guards handle_, not the calls made with it
    UniqueInternetHandle handle_;
    DWORD_PTR context_;
    DWORD timeoutMs_;
};
