#pragma once

#include <cstddef>
#include <string>

// How the texts users type for an upload target (server, remote folder, public base address) are
// made usable, and how the public address of an uploaded image is composed. Prefix tests ignore
// letter case.
namespace UploadAddress {

// Begins with "/" and ends with "/" or a back slash; an empty folder is "/".
std::wstring normalizeRemoteFolder(const std::wstring& folder);

// Without one leading "ftp://" or "http://" (only the first: what follows it is the user's),
// at most kMaxServerLength characters.
constexpr std::size_t kMaxServerLength = 511;
std::wstring normalizeServer(const std::wstring& server);

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
