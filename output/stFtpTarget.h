#pragma once

#include <string>

// One upload target as the user (or start-up, for the built-in account) gave it.
struct stFtpTarget {
    std::wstring server; // may carry "ftp://" or "http://" in front
    std::wstring username;
    std::wstring password; // plain text
    std::wstring path;     // remote folder
    std::wstring url;      // public base address of the uploaded files; may be empty
};
