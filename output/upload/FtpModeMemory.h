#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <utility>

// Which way of opening data connections works with each server, learnt while the program runs.
// Passive mode (the client connects to the server) comes first, as it works from behind routers
// and firewalls; a server whose passive data connection failed where active mode then worked is
// used in active mode until the program ends, and the other way round. Uploads, trial connections
// and the folder browser share one memory; safe from any thread.
class FtpModeMemory {
public:
    // Whether to begin with passive mode for the server.
    bool passiveFirst(const std::wstring& host, std::uint16_t port) const;
    // The data connection worked in this mode after the other one failed.
    void remember(const std::wstring& host, std::uint16_t port, bool passive);

    // Whether a failure to open a transfer, after the login, is one of the data connection (so
    // that the other mode may work): no connection, no answer, or a reply that refuses the mode
    // or the connection (421, 425, 426, 500, 501, 502, 504). A reply about the file itself (550,
    // 553, ...) is not. extendedError: the failure came with the server's reply.
    static bool isDataConnectionFailure(bool extendedError, const std::wstring& reply);

private:
    mutable std::mutex lock_;
    std::map<std::pair<std::wstring, std::uint16_t>, bool> passive_;
};
