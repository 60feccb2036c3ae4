#pragma once

#include "output/upload/FtpModeMemory.h"
#include "platform/FtpListingConnection.h"
#include "ui/stFtpLogin.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <string>

// The network side of the FTP page's Test and Browse: a worker thread that logs in to one server
// and lists its folders (RemoteFolderReader), one request after the other, with a WinInet
// session of its own, and posts each answer to a window of the GUI thread. The GUI thread never
// waits for it. What the worker shares with the GUI thread is a small state of its own, never a
// window or the application; destroying the FtpWorker gives the worker up: it posts nothing more,
// and its waits for the server end (its session is closed, its sockets' waits cancelled). GUI
// thread only.
class FtpWorker {
public:
    // What the worker posts, one per request; the window's handler takes it over (takeReply).
    struct Reply {
        enum class Kind { LogIn, Listing };
        Kind kind = Kind::LogIn;
        // The folder listed.
        std::wstring folder;
        FtpListingConnection::Listing listing;
        // What the request raised; null when it worked.
        std::exception_ptr failure;
    };

    // Starts the worker, which answers to window with message. Raises InternetException when
    // there is no session to be had and ResourceException when there is no thread.
    FtpWorker(stFtpLogin login, std::shared_ptr<FtpModeMemory> modes, HWND window, UINT message);
    FtpWorker(FtpWorker&&) noexcept = default;
    FtpWorker& operator=(FtpWorker&&) noexcept;
    ~FtpWorker();

    const stFtpLogin& login() const noexcept { return login_; }
    void logIn();
    void list(const std::wstring& folder);
    // The answers go to this window from now on; those not yet handled by the one before are
    // dropped.
    void replyTo(HWND window);

    static std::unique_ptr<Reply> takeReply(LPARAM lParam) noexcept;

private:
    struct Shared;
    struct Request {
        Reply::Kind kind;
        std::wstring folder;
    };
    static void serve(const std::shared_ptr<Shared>& shared, stFtpLogin login,
                      std::shared_ptr<FtpModeMemory> modes);
    void ask(Request request);
    void stop() noexcept;

    stFtpLogin login_;
    std::shared_ptr<Shared> shared_;
};
