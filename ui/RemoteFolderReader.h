#pragma once

#include "output/upload/FtpModeMemory.h"
#include "platform/FtpListingConnection.h"
#include "platform/InternetSession.h"
#include "platform/SocketWait.h"
#include "ui/stFtpLogin.h"

#include <memory>
#include <string>

// Logs in to one server and reads its folders, for a worker thread (it waits on the network). The
// trial login is the uploads' own, through WinInet, so that it fails in their words; the folders
// are read over a connection of our own (FtpListingConnection), kept from one listing to the
// next. Listings begin in the data connection mode the memory says; when a listing's data
// connection fails, it is tried once more in the other mode over a new connection, which is then
// kept, and the memory learns that mode. Failures raise InternetException.
class RemoteFolderReader {
public:
    // Entries past this many are not read: a folder may hold more than anyone looks through.
    static constexpr std::size_t kMaxEntries = 5000;

    RemoteFolderReader(std::shared_ptr<InternetSession> session, stFtpLogin login,
                       std::shared_ptr<FtpModeMemory> modes, stSocketLimits limits);

    void logIn();
    // The folder's entries ("/" or "/a/b").
    FtpListingConnection::Listing list(const std::wstring& folder);

private:
    std::unique_ptr<FtpListingConnection> connect(bool passive) const;

    std::shared_ptr<InternetSession> session_;
    stFtpLogin login_;
    std::shared_ptr<FtpModeMemory> modes_;
    stSocketLimits limits_;
    std::unique_ptr<FtpListingConnection> connection_;
};
