#pragma once

#include "platform/FtpConnection.h"
#include "platform/Handles.h"

#include <string>

// Lists one remote folder. WinInet allows one listing at a time per connection.
// Failures other than an empty listing raise InternetException.
class FtpDirectoryEnumerator {
public:
    explicit FtpDirectoryEnumerator(const FtpConnection& connection, DWORD_PTR context = 0) noexcept
        : connection_(connection), context_(context) {}

    // Starts a listing ("" or "*" for the current folder, or a path); false when it is empty.
    // flags are WinInet's INTERNET_FLAG_* for the listing (cache use).
    bool findFirst(const std::wstring& pattern = L"", DWORD flags = INTERNET_FLAG_RELOAD);
    // Moves to the next entry; false when there is none.
    bool findNext();
    void close() noexcept { find_.reset(); }

    std::wstring fileName() const { return entry_.cFileName; }
    bool isDirectory() const noexcept { return entry_.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY; }
    // "." and "..", which some servers list.
    bool isDots() const noexcept;
    std::uint64_t size() const noexcept {
        return (static_cast<std::uint64_t>(entry_.nFileSizeHigh) << 32) | entry_.nFileSizeLow;
    }
    const WIN32_FIND_DATAW& entry() const noexcept { return entry_; }

private:
    const FtpConnection& connection_;
    DWORD_PTR context_;
    UniqueInternetHandle find_;
    WIN32_FIND_DATAW entry_{};
};
