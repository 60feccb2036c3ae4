#pragma once

#include "platform/FtpText.h"
#include "platform/Handles.h"
#include "platform/SocketWait.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// One IPv4 TCP connection of ours, each wait bounded by its limits (SocketWait); Winsock must be
// started (WinsockUse). Failures raise InternetException with the codes WinInet gives for the
// same: ERROR_INTERNET_NAME_NOT_RESOLVED, ERROR_INTERNET_CANNOT_CONNECT,
// ERROR_INTERNET_CONNECTION_RESET, ERROR_INTERNET_TIMEOUT, ERROR_INTERNET_OPERATION_CANCELLED.
class TcpConnection {
public:
    static TcpConnection connect(const std::wstring& host, std::uint16_t port,
                                 const stSocketLimits& limits);
    static TcpConnection connect(const FtpText::stEndpoint& endpoint, const stSocketLimits& limits);
    // Takes over a connected, non-blocking socket.
    TcpConnection(UniqueSocket socket, stSocketLimits limits) noexcept
        : socket_(std::move(socket)), limits_(std::move(limits)) {}

    void send(std::string_view bytes);
    // The next line without its line end; none at the end of the stream. A line longer than
    // kMaxLineBytes comes in pieces of that length.
    std::optional<std::string> readLine();
    // Where this side of the connection is.
    FtpText::stEndpoint localEndpoint() const;

    static constexpr std::size_t kMaxLineBytes = 64 * 1024;

private:
    // Reads what has come into the buffer; false at the end of the stream.
    bool receive();

    UniqueSocket socket_;
    stSocketLimits limits_;
    std::string buffer_;
    std::size_t unread_ = 0; // where the unread part of buffer_ begins
};
