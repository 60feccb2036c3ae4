#pragma once

#include <string>

// A folder path with a trailing backslash, added unless it ends in one already; an empty path
// becomes "\", the root of the current drive.
inline std::wstring withTrailingBackslash(std::wstring folder) {
    if (folder.empty() || folder.back() != L'\\')
        folder += L'\\';
    return folder;
}
