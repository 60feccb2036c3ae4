#pragma once

#include "platform/FtpText.h"
#include "platform/Handles.h"
#include "platform/SocketWait.h"
#include "platform/TcpConnection.h"

// A socket that waits for one connection from the other side (FTP's active mode), on a port the
// system chooses; Winsock must be started (WinsockUse). Failures raise InternetException, as
// TcpConnection's do.
class TcpListener {
public:
    // Listens at that address (the port is chosen).
    TcpListener(const FtpText::stEndpoint& at, stSocketLimits limits);

    // Where the other side is to connect.
    const FtpText::stEndpoint& endpoint() const noexcept { return endpoint_; }
    TcpConnection accept();

private:
    UniqueSocket socket_;
    stSocketLimits limits_;
    FtpText::stEndpoint endpoint_;
};
