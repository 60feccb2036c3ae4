#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The FTP texts our own listing connection reads and writes (FtpListingConnection): reply codes,
// the data connection addresses of PASV and PORT, and the lines of a LIST. Bytes in, bytes out:
// what the names mean in characters is the caller's business.
namespace FtpText {

// An IPv4 address and port, the address in the order written ("127.0.0.1": 127 first).
struct stEndpoint {
    std::array<std::uint8_t, 4> address{};
    std::uint16_t port = 0;
};

// An entry of a listing.
struct stListEntry {
    std::string name;
    bool directory = false;
};

// The code of a reply line ("230 Logged in." gives 230); none when the line does not begin with
// three digits followed by a space, a hyphen or nothing.
std::optional<int> replyCode(std::string_view line);
// Whether the line ends a reply that began with a line of that code: "230 ..." after "230-...".
bool endsReply(std::string_view line, int code);

// The address of a passive data connection in a 227 reply: "227 Entering Passive Mode
// (h1,h2,h3,h4,p1,p2)", with or without the brackets.
std::optional<stEndpoint> passiveEndpoint(std::string_view reply);
// PORT's argument for the endpoint: "h1,h2,h3,h4,p1,p2".
std::string portArgument(const stEndpoint& endpoint);

// One line of a LIST, in the Unix form ("drwxr-xr-x 2 owner group 512 Sep 28 1995 name") or the
// DOS form ("07-13-03 08:55PM <DIR> name"); the name may hold spaces, and a link's target is no
// part of it. None for other lines ("total 12"), which are skipped.
std::optional<stListEntry> listEntry(std::string_view line);

} // namespace FtpText
