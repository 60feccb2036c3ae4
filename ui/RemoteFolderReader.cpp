#include "ui/RemoteFolderReader.h"

#include "platform/InternetException.h"

#include <wininet.h>

RemoteFolderReader::RemoteFolderReader(std::shared_ptr<InternetSession> session, stFtpLogin login,
                                       std::shared_ptr<FtpModeMemory> modes, stSocketLimits limits)
    : session_(std::move(session)), login_(std::move(login)), modes_(std::move(modes)),
      limits_(std::move(limits)) {}

void RemoteFolderReader::logIn() {
    session_->connectFtp(login_.host, login_.user, login_.password, login_.port,
                         modes_->passiveFirst(login_.host, login_.port));
}

FtpListingConnection::Listing RemoteFolderReader::list(const std::wstring& folder) {
    if (!connection_)
        connection_ = connect(modes_->passiveFirst(login_.host, login_.port));
    try {
        return connection_->list(folder, kMaxEntries);
    } catch (const InternetException& error) {
        // For a refusal the message is the server's reply.
        if (!FtpModeMemory::isDataConnectionFailure(
                error.errorCode() == ERROR_INTERNET_EXTENDED_ERROR, error.message()))
            throw;
    }
    std::unique_ptr<FtpListingConnection> other = connect(!connection_->passive());
    FtpListingConnection::Listing listing = other->list(folder, kMaxEntries);
    connection_ = std::move(other);
    modes_->remember(login_.host, login_.port, connection_->passive());
    return listing;
}

std::unique_ptr<FtpListingConnection> RemoteFolderReader::connect(bool passive) const {
    return std::make_unique<FtpListingConnection>(login_.host, login_.port, login_.user,
                                                  login_.password, passive, limits_);
}
