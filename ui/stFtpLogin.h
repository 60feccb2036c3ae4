#pragma once

#include <cstdint>
#include <string>

// A server to log in to, as the FTP page's Test and Browse use it.
struct stFtpLogin {
    std::wstring host;
    std::uint16_t port = 21;
    std::wstring user;
    std::wstring password;
};
