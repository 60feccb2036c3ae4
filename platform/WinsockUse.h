#pragma once

// Winsock started for as long as the object lives (WSAStartup and WSACleanup, which the system
// counts), so that code using sockets needs nobody else to start it.
class WinsockUse {
public:
    // Raises InternetException (ERROR_INTERNET_INTERNAL_ERROR) when Winsock can't start.
    WinsockUse();
    WinsockUse(const WinsockUse&) = delete;
    WinsockUse& operator=(const WinsockUse&) = delete;
    ~WinsockUse();
};
