#pragma once

#include "platform/SocketWait.h"
#include "platform/TcpConnection.h"
#include "platform/WinsockUse.h"

#include <windows.h>
#include <wininet.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// An FTP connection of our own for reading folder listings (LIST) in bulk: under Wine, WinInet
// reads a listing one byte per system call, about 4 KB a second, so a folder of 20,000 entries
// took it minutes. It logs in when made and opens each listing's data connection in passive
// (PASV) or active (PORT) mode; a listing is read up to a bound and the rest left unread. Names
// are in the system's code page, as WinInet has them. Failures raise InternetException with
// WinInet's codes; a refusal carries the server's reply (ERROR_INTERNET_LOGIN_FAILURE for the
// login, ERROR_INTERNET_EXTENDED_ERROR otherwise). Every wait is bounded by the limits.
class FtpListingConnection {
public:
    struct Entry {
        std::wstring name;
        bool directory = false;
    };
    struct Listing {
        std::vector<Entry> entries;
        // More entries followed the last one kept.
        bool cut = false;
    };

    // An empty user logs in as "anonymous".
    FtpListingConnection(const std::wstring& host, std::uint16_t port, const std::wstring& user,
                         const std::wstring& password, bool passive, stSocketLimits limits);

    bool passive() const noexcept { return passive_; }
    // The folder's entries ("/" or "/a/b") without "." and "..", at most maxEntries.
    Listing list(const std::wstring& folder, std::size_t maxEntries);

private:
    struct Reply {
        int code = 0;
        std::string text;
    };
    Reply readReply();
    Reply command(const std::string& line);
    [[noreturn]] static void refuse(const Reply& reply,
                                    DWORD errorCode = ERROR_INTERNET_EXTENDED_ERROR);
    void logIn(const std::wstring& user, const std::wstring& password);
    // Sends the transfer command with what its data connection needs first, and returns that
    // connection.
    TcpConnection openData(const std::string& transfer);
    static Listing readListing(TcpConnection data, std::size_t maxEntries);

    WinsockUse winsock_;
    stSocketLimits limits_;
    TcpConnection control_;
    bool passive_;
};
