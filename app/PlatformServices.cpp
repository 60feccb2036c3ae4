// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "app/PlatformServices.h"

#include <ole2.h>

PlatformServices::~PlatformServices() {
    if (oleStarted_)
        ::OleUninitialize();
    if (socketsStarted_)
        ::WSACleanup();
}

bool PlatformServices::startSockets() noexcept {
    WSADATA sockets;
    socketsStarted_ = ::WSAStartup(MAKEWORD(2, 2), &sockets) == 0;
    return socketsStarted_;
}

bool PlatformServices::startOle() noexcept {
    oleStarted_ = SUCCEEDED(::OleInitialize(nullptr));
    return oleStarted_;
}
