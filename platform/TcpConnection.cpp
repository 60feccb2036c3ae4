// (winsock2.h must come before windows.h.)
#include <winsock2.h>
#include <ws2tcpip.h>

#include "platform/TcpConnection.h"

#include "platform/InternetException.h"

#include <wininet.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

constexpr std::size_t kReceiveBytes = 64 * 1024;

sockaddr_in socketAddress(const FtpText::stEndpoint& endpoint) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = ::htons(endpoint.port);
    std::memcpy(&address.sin_addr, endpoint.address.data(), 4);
    return address;
}

// A non-blocking socket connected to the address; none when the connection was refused.
UniqueSocket connectTo(const sockaddr_in& address, const stSocketLimits& limits) {
    UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    u_long nonBlocking = 1;
    if (!socket || ::ioctlsocket(socket.get(), FIONBIO, &nonBlocking) != 0)
        throw InternetException(ERROR_INTERNET_INTERNAL_ERROR);
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 &&
        ::WSAGetLastError() != WSAEWOULDBLOCK)
        return UniqueSocket();
    SocketWait::until(socket.get(), true, limits);
    int error = 0;
    int length = sizeof error;
    if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                     &length) != 0 ||
        error != 0)
        return UniqueSocket();
    return socket;
}

} // namespace

TcpConnection TcpConnection::connect(const std::wstring& host, std::uint16_t port,
                                     const stSocketLimits& limits) {
    ADDRINFOW hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    ADDRINFOW* found = nullptr;
    if (::GetAddrInfoW(host.c_str(), std::to_wstring(port).c_str(), &hints, &found) != 0 || !found)
        throw InternetException(ERROR_INTERNET_NAME_NOT_RESOLVED);
    const std::unique_ptr<ADDRINFOW, decltype(&::FreeAddrInfoW)> addresses(found, &::FreeAddrInfoW);
    for (const ADDRINFOW* address = found; address; address = address->ai_next) {
        if (address->ai_family != AF_INET || address->ai_addrlen < sizeof(sockaddr_in))
            continue;
        UniqueSocket socket =
            connectTo(*reinterpret_cast<const sockaddr_in*>(address->ai_addr), limits);
        if (socket)
            return TcpConnection(std::move(socket), limits);
    }
    throw InternetException(ERROR_INTERNET_CANNOT_CONNECT);
}

TcpConnection TcpConnection::connect(const FtpText::stEndpoint& endpoint,
                                     const stSocketLimits& limits) {
    UniqueSocket socket = connectTo(socketAddress(endpoint), limits);
    if (!socket)
        throw InternetException(ERROR_INTERNET_CANNOT_CONNECT);
    return TcpConnection(std::move(socket), limits);
}

void TcpConnection::send(std::string_view bytes) {
    while (!bytes.empty()) {
        SocketWait::until(socket_.get(), true, limits_);
        const int sent = ::send(socket_.get(), bytes.data(), static_cast<int>(bytes.size()), 0);
        if (sent == SOCKET_ERROR) {
            if (::WSAGetLastError() == WSAEWOULDBLOCK)
                continue;
            throw InternetException(ERROR_INTERNET_CONNECTION_RESET);
        }
        bytes.remove_prefix(static_cast<std::size_t>(sent));
    }
}

std::optional<std::string> TcpConnection::readLine() {
    for (;;) {
        const std::size_t end = buffer_.find('\n', unread_);
        const bool whole = end != std::string::npos;
        const std::size_t length = (whole ? end : buffer_.size()) - unread_;
        if (whole || length >= kMaxLineBytes) {
            std::string line = buffer_.substr(unread_, std::min(length, kMaxLineBytes));
            unread_ += line.size() + (whole && length <= kMaxLineBytes ? 1 : 0);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            return line;
        }
        if (!receive()) {
            if (length == 0)
                return std::nullopt;
            std::string line = buffer_.substr(unread_);
            unread_ = buffer_.size();
            return line;
        }
    }
}

bool TcpConnection::receive() {
    // What was read goes, so the buffer holds about one piece.
    buffer_.erase(0, unread_);
    unread_ = 0;
    const std::size_t kept = buffer_.size();
    buffer_.resize(kept + kReceiveBytes);
    for (;;) {
        SocketWait::until(socket_.get(), false, limits_);
        const int got = ::recv(socket_.get(), &buffer_[kept], static_cast<int>(kReceiveBytes), 0);
        if (got == SOCKET_ERROR && ::WSAGetLastError() == WSAEWOULDBLOCK)
            continue;
        buffer_.resize(kept + static_cast<std::size_t>(got > 0 ? got : 0));
        if (got == SOCKET_ERROR)
            throw InternetException(ERROR_INTERNET_CONNECTION_RESET);
        return got > 0;
    }
}

FtpText::stEndpoint TcpConnection::localEndpoint() const {
    sockaddr_in address{};
    int length = sizeof address;
    if (::getsockname(socket_.get(), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw InternetException(ERROR_INTERNET_INTERNAL_ERROR);
    FtpText::stEndpoint endpoint;
    std::memcpy(endpoint.address.data(), &address.sin_addr, 4);
    endpoint.port = ::ntohs(address.sin_port);
    return endpoint;
}
