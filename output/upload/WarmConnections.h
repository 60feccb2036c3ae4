#pragma once

#include "output/upload/WarmConnectionRule.h"
#include "output/upload/stSendTarget.h"
#include "platform/FtpConnection.h"
#include "platform/Handles.h"
#include "platform/InternetSession.h"

#include <windows.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

// The logged-in connection kept between uploads, so that a burst logs in once, and the one made
// while the user is still choosing what to capture. Upload workers take it and give it back; the
// GUI thread only starts logins and closings, each on a thread of its own, as WinInet may wait
// for the server when a connection opens or closes. The workers' threads share the state, never
// this object.
class WarmConnections {
public:
    // One connection with the session it was made in (closing the session ends its waits) and
    // the data connection mode it was opened for.
    struct Held {
        std::shared_ptr<InternetSession> session;
        FtpConnection connection;
        bool passive = true;
    };

    WarmConnections();
    WarmConnections(const WarmConnections&) = delete;
    WarmConnections& operator=(const WarmConnections&) = delete;

    // Worker: the idle connection to the target, taken over; none when none fits. A login to
    // that target under way is waited for, at most waitMs.
    std::optional<Held> take(const stSendTarget& target, DWORD waitMs);
    // Worker: the connection served an upload to the target and waits for the next one.
    void keep(const stSendTarget& target, Held held);

    // GUI thread: logs in to the target on a thread of its own, unless a connection to it is idle
    // or being made; a capture is about to come.
    void prepare(const stSendTarget& target, bool passive, DWORD timeoutMs);
    // GUI thread: the capture prepared for ended with nothing; the connection made for it goes.
    void unprepare();
    // GUI thread: closes the idle connection when it has expired or is not for the target (none
    // while uploading is off). Returns when to look again: when the idle one expires, or later
    // while a login is under way.
    std::optional<ULONGLONG> tidy(const std::optional<stSendTarget>& target);
    // GUI thread, at exit: closes what is idle and waits for the threads started here until the
    // deadline (GetTickCount64). Returns whether all have ended.
    bool stop(ULONGLONG deadline) noexcept;

private:
    struct Shared {
        std::mutex lock;
        std::condition_variable changed;
        WarmConnectionRule rule;
        std::optional<Held> idle;
        bool idlePrepared = false;             // made by prepare, not used yet
        std::optional<stSendTarget> loggingIn; // a prepared login under way
        bool loginWanted = false;              // what it makes is kept when it ends
        bool stopped = false;
    };

    static void close(std::optional<Held> held) noexcept;
    // Closes the connection on a thread of its own.
    void closeAside(std::optional<Held> held);
    void pruneThreads();

    std::shared_ptr<Shared> shared_;
    std::vector<UniqueHandle> threads_;
};
