#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// How the texts users type for an upload target (server, remote folder, public base address) are
// made usable, and how the public address of an uploaded image is composed. Prefix tests ignore
// letter case.
namespace UploadAddress {

// Begins with "/" and ends with "/" or a back slash; an empty folder is "/".
std::wstring normalizeRemoteFolder(const std::wstring& folder);

// The FTP server a target's server field names.
struct stFtpServer {
    std::wstring host;
    std::uint16_t port = 21;
};

// The one reading of a server field, for uploads, trial connections and the folder browser: an
// optional "ftp://" (or the "http://" that older settings hold) in any letter case, a host of at
// most kMaxServerLength characters, an optional ":port" from 1 to 65535, and an optional path
// after the host, which is not used. None for an empty host, a bad port or another scheme.
constexpr std::size_t kMaxServerLength = 511;
std::optional<stFtpServer> ftpServer(const std::wstring& server);

// A scheme in front (repaired or "http://" added) and one closing slash or back slash removed;
// empty stays empty. Text that is hardly an address ("a//", a scheme alone) is not made one.
std::wstring normalizeBaseAddress(const std::wstring& baseAddress);

// Normalised folder + file name.
std::wstring remotePath(const std::wstring& normalizedFolder, const std::wstring& fileName);

// base + "/" + file name; without a base, "http://" + the server (minus a leading "ftp.") + the
// remote path. All inputs normalised.
std::wstring publicAddress(const std::wstring& baseAddress, const std::wstring& server,
                           const std::wstring& normalizedFolder, const std::wstring& fileName);

} // namespace UploadAddress
