// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "platform/WinsockUse.h"

#include "platform/InternetException.h"

#include <wininet.h>

WinsockUse::WinsockUse() {
    WSADATA data;
    if (::WSAStartup(MAKEWORD(2, 2), &data) != 0)
        throw InternetException(ERROR_INTERNET_INTERNAL_ERROR);
}

WinsockUse::~WinsockUse() {
    ::WSACleanup();
}
