// (winsock2.h must come before windows.h.)
#include <winsock2.h>

#include "platform/FtpListingConnection.h"

#include "platform/InternetException.h"
#include "platform/TcpListener.h"

#include <wininet.h>

namespace {

// As WinInet converts: the system's code page both ways.
std::wstring fromCodePage(const std::string& text) {
    if (text.empty())
        return {};
    const int length =
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                          length);
    return wide;
}

std::string toCodePage(const std::wstring& text) {
    if (text.empty())
        return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()),
                                             nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), narrow.data(),
                          length, nullptr, nullptr);
    return narrow;
}

bool isPositive(int code) {
    return code >= 100 && code < 400;
}

} // namespace

FtpListingConnection::FtpListingConnection(const std::wstring& host, std::uint16_t port,
                                           const std::wstring& user, const std::wstring& password,
                                           bool passive, stSocketLimits limits)
    : limits_(std::move(limits)), control_(TcpConnection::connect(host, port, limits_)),
      passive_(passive) {
    logIn(user, password);
}

void FtpListingConnection::logIn(const std::wstring& user, const std::wstring& password) {
    Reply greeting = readReply();
    // 120: ready in a moment.
    while (greeting.code == 120)
        greeting = readReply();
    if (greeting.code != 220)
        refuse(greeting);
    Reply reply = command("USER " + (user.empty() ? std::string("anonymous") : toCodePage(user)));
    if (reply.code == 331)
        reply = command("PASS " + toCodePage(password));
    if (reply.code == 530)
        refuse(reply, ERROR_INTERNET_LOGIN_FAILURE);
    if (reply.code != 230 && reply.code != 202)
        refuse(reply);
}

FtpListingConnection::Listing FtpListingConnection::list(const std::wstring& folder,
                                                         std::size_t maxEntries) {
    Listing listing = readListing(openData("LIST " + toCodePage(folder)), maxEntries);
    // A listing left unread ends in the server's giving it up (426); one read whole says how the
    // server ended it.
    const Reply done = readReply();
    if (!listing.cut && !isPositive(done.code))
        refuse(done);
    return listing;
}

TcpConnection FtpListingConnection::openData(const std::string& transfer) {
    if (passive_) {
        const Reply entering = command("PASV");
        const std::optional<FtpText::stEndpoint> at = FtpText::passiveEndpoint(entering.text);
        if (entering.code != 227 || !at)
            refuse(entering);
        TcpConnection data = TcpConnection::connect(*at, limits_);
        const Reply started = command(transfer);
        if (started.code / 100 != 1)
            refuse(started);
        return data;
    }
    TcpListener listener(control_.localEndpoint(), limits_);
    const Reply port = command("PORT " + FtpText::portArgument(listener.endpoint()));
    if (port.code != 200)
        refuse(port);
    const Reply started = command(transfer);
    if (started.code / 100 != 1)
        refuse(started);
    return listener.accept();
}

FtpListingConnection::Listing FtpListingConnection::readListing(TcpConnection data,
                                                                std::size_t maxEntries) {
    Listing listing;
    while (const std::optional<std::string> line = data.readLine()) {
        const std::optional<FtpText::stListEntry> entry = FtpText::listEntry(*line);
        if (!entry || entry->name == "." || entry->name == "..")
            continue;
        if (listing.entries.size() == maxEntries) {
            listing.cut = true;
            break;
        }
        listing.entries.push_back(Entry{fromCodePage(entry->name), entry->directory});
    }
    return listing;
}

FtpListingConnection::Reply FtpListingConnection::command(const std::string& line) {
    control_.send(line + "\r\n");
    return readReply();
}

FtpListingConnection::Reply FtpListingConnection::readReply() {
    std::optional<std::string> line = control_.readLine();
    if (!line)
        throw InternetException(ERROR_INTERNET_CONNECTION_ABORTED);
    Reply reply;
    const std::optional<int> code = FtpText::replyCode(*line);
    if (!code)
        refuse(Reply{0, *line});
    reply.code = *code;
    reply.text = *line;
    // The lines of a reply that goes on end with its code and a blank.
    while (!FtpText::endsReply(*line, reply.code)) {
        line = control_.readLine();
        if (!line)
            throw InternetException(ERROR_INTERNET_CONNECTION_ABORTED);
        reply.text += "\n" + *line;
    }
    return reply;
}

void FtpListingConnection::refuse(const Reply& reply, DWORD errorCode) {
    throw InternetException::withReply(errorCode, fromCodePage(reply.text));
}
