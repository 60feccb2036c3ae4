#pragma once

#include <cstdint>
#include <optional>
#include <string>

// A server as users type it, read as an address "scheme://[user[:password]@]host[:port][/path]".
// Nothing is decoded or re-encoded: the parts are the characters as written.
namespace FtpAddress {

enum class Service { Unknown, Ftp, Http, Https, Gopher, File };

struct Parts {
    Service service = Service::Unknown;
    // As written; its letter case does not matter for the service.
    std::wstring scheme;
    bool hasUserInfo = false;
    std::wstring user;
    bool hasPassword = false;
    std::wstring password;
    // Never holds "/" or "@"; holds ":" only inside brackets ("[::1]"). May be empty.
    std::wstring host;
    // The port written, else the service's default (0 when it has none).
    std::uint16_t port = 0;
    bool portGiven = false;
    // Begins with "/"; "/" when the address names no path.
    std::wstring object = L"/";

    bool operator==(const Parts& other) const;
};

// Empty when the text has no "scheme://" in front or a port that is not 1 to 65535.
std::optional<Parts> parse(const std::wstring& text);

// A server field: as an address, else as a host with "ftp://" put in front.
std::optional<Parts> parseServer(const std::wstring& server);

// The address the parts were read from, up to the letter case and leading zeros of the port.
std::wstring format(const Parts& parts);

} // namespace FtpAddress
