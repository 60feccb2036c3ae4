#pragma once

#include <cstdint>
#include <string>

// Where an upload goes: the target selected when it is sent, normalised for use.
struct stSendTarget {
    std::wstring server; // the host
    std::uint16_t port = 21;
    std::wstring username;
    std::wstring password;
    std::wstring path;   // remote folder, beginning and ending with a slash
    std::wstring url;    // public base address; may be empty
    bool custom = false; // the user's own server, not the built-in account
};
