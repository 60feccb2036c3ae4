#pragma once

#include "output/upload/FtpModeMemory.h"
#include "output/upload/WarmConnections.h"
#include "output/upload/stSendTarget.h"
#include "platform/Handles.h"
#include "platform/InternetSession.h"

#include <windows.h>

#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

class DiskFile;

// One attempt to send one queued file, on a worker thread of its own. The GUI thread makes it,
// starts it and watches its progress; the worker tells how it ended by a message posted to the GUI
// thread's window, carrying an Outcome, so nothing of the application is reached from the worker.
// Each attempt has a session of its own, so that abandoning it ends its waits for the server
// without touching any other upload.
class UploadAttempt : public std::enable_shared_from_this<UploadAttempt> {
public:
    // What the worker posts (as the message's lParam); the window's handler takes it over.
    struct Outcome {
        int id = 0;
        bool stored = false;
        std::wstring address;     // the public address, when stored
        std::wstring failureText; // what went wrong, when not
        // Posted before the final one, once the server has closed the transfer: the address may
        // be given out while the stored size is still being confirmed.
        bool sizePending = false;
    };

    // The file goes under its queued name; one without a random suffix under the first of it,
    // "_2", "_3", ... that the server does not hold yet, or with a random suffix after all when
    // it goes to the built-in target or the server does not tell which names it holds. The data
    // connection is tried in the mode the memory says, and once in the other when that one is
    // refused. A connection the warm ones hold for the target is used first (a failure on it is
    // tried once more on a new one), and the connection is left there for the next upload once this
    // one is stored.
    UploadAttempt(int id, std::wstring filePath, std::wstring fileName, stSendTarget target,
                  std::shared_ptr<FtpModeMemory> modes, DWORD timeoutMs,
                  std::shared_ptr<WarmConnections> warm = nullptr);
    UploadAttempt(const UploadAttempt&) = delete;
    UploadAttempt& operator=(const UploadAttempt&) = delete;

    // Starts the worker, which posts its Outcome to window with message (once, unless abandoned
    // before; an Outcome with sizePending may come before it). Null when no thread could be had;
    // the attempt has not run then.
    static UniqueHandle start(const std::shared_ptr<UploadAttempt>& attempt, HWND window,
                              UINT message);
    // The Outcome a posted message carries, taken over; null for none.
    static std::unique_ptr<Outcome> takeOutcome(LPARAM lParam) noexcept;
    // What the user is told of the failure being handled (call inside a catch block), worded for
    // the target.
    static std::wstring failureText(const stSendTarget& target);

    int id() const noexcept { return id_; }
    const std::wstring& fileName() const noexcept { return fileName_; }
    const stSendTarget& target() const noexcept { return target_; }
    // GetTickCount64 when the attempt last made progress: connected, opened, sent a piece.
    ULONGLONG lastProgress() const noexcept { return lastProgress_; }
    // Gives the attempt up: it reports nothing more, and closing its session ends its waits for
    // the server. The session is closed on a thread of its own, as closing an open transfer may
    // wait for the server's closing reply. A send that the system does not interrupt ends on its
    // own, later.
    void abandon() noexcept;

private:
    // Names tried before a server that holds every one of them is given up.
    static constexpr int kNumbersTried = 100;
    // Random suffixes drawn again when a server refuses to replace a file of the name.
    static constexpr int kSuffixTries = 3;

    // The data connection could not be had in one mode (the failure it gave).
    struct ModeRefused {
        std::exception_ptr failure;
    };
    struct RemoteFile {
        std::wstring name;
        std::optional<FtpFile> file;
    };
    struct NameOnServer {
        std::wstring name;
        bool checked = false; // the server said it holds no file of the name
    };

    static unsigned __stdcall threadMain(void* parameter);
    void run(HWND window, UINT message) noexcept;
    // Sends the file and returns its public address.
    std::wstring send();
    // One try in the mode; raises ModeRefused when the data connection is refused.
    std::wstring sendIn(bool passive, DiskFile& source);
    // Sends over a logged-in connection, which is kept warm once the file is stored.
    std::wstring sendOver(WarmConnections::Held held, DiskFile& source);
    RemoteFile openRemoteFile(const FtpConnection& connection);
    NameOnServer firstFreeName(const FtpConnection& connection, const std::wstring& name);
    bool nameTaken(const FtpConnection& connection, const std::wstring& path);
    // Whether the server holds a file at the path; none when it does not say.
    std::optional<bool> whetherTaken(const FtpConnection& connection, const std::wstring& path);
    void deletePartial(const FtpConnection& connection, const std::wstring& remotePath) noexcept;
    void post(std::unique_ptr<Outcome> outcome) noexcept;
    void madeProgress() noexcept { lastProgress_ = ::GetTickCount64(); }

    const int id_;
    const std::wstring filePath_;
    const std::wstring fileName_;
    const stSendTarget target_;
    const std::shared_ptr<FtpModeMemory> modes_;
    const std::shared_ptr<WarmConnections> warm_;
    const DWORD timeoutMs_;
    const std::shared_ptr<InternetSession> session_;
    // The warm connection's session while this attempt uses it, for abandon.
    std::mutex borrowedLock_;
    std::shared_ptr<InternetSession> borrowed_;
    std::atomic<ULONGLONG> lastProgress_;
    std::atomic<bool> abandoned_{false};
    // Where the worker posts (set by it when it starts).
    HWND window_ = nullptr;
    UINT message_ = 0;
};
