// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "platform/TcpListener.h"

#include "platform/InternetException.h"

#include <wininet.h>

#include <cstring>

TcpListener::TcpListener(const FtpText::stEndpoint& at, stSocketLimits limits)
    : socket_(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)), limits_(std::move(limits)) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    std::memcpy(&address.sin_addr, at.address.data(), 4);
    int length = sizeof address;
    u_long nonBlocking = 1;
    if (!socket_ || ::ioctlsocket(socket_.get(), FIONBIO, &nonBlocking) != 0 ||
        ::bind(socket_.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(socket_.get(), 1) != 0 ||
        ::getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw InternetException(ERROR_INTERNET_INTERNAL_ERROR);
    endpoint_.address = at.address;
    endpoint_.port = ::ntohs(address.sin_port);
}

TcpConnection TcpListener::accept() {
    for (;;) {
        SocketWait::until(socket_.get(), false, limits_);
        UniqueSocket accepted(::accept(socket_.get(), nullptr, nullptr));
        if (!accepted) {
            if (::WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            throw InternetException(ERROR_INTERNET_CANNOT_CONNECT);
        }
        u_long nonBlocking = 1;
        if (::ioctlsocket(accepted.get(), FIONBIO, &nonBlocking) != 0)
            throw InternetException(ERROR_INTERNET_INTERNAL_ERROR);
        return TcpConnection(std::move(accepted), limits_);
    }
}
