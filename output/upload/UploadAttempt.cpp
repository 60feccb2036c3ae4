#include "output/upload/UploadAttempt.h"

#include "output/UploadAddress.h"
#include "output/UploadFailureText.h"
#include "output/upload/ServerReply.h"
#include "output/upload/RemoteName.h"
#include "platform/DiskFile.h"
#include "platform/FtpConnection.h"
#include "platform/FtpDirectoryEnumerator.h"
#include "platform/InternetException.h"
#include "platform/MemoryException.h"
#include "platform/RandomText.h"
#include "platform/StageTimes.h"

#include <process.h>

#include <cstring>
#include <new>
#include <optional>
#include <thread>
#include <vector>

namespace {

// What the worker's thread is given.
struct WorkerStart {
    std::shared_ptr<UploadAttempt> attempt;
    HWND window;
    UINT message;
};

} // namespace

std::wstring UploadAttempt::failureText(const stSendTarget& target) {
    unsigned long code = UploadFailureText::kNotAnInternetError;
    std::wstring message;
    try {
        throw;
    } catch (const InternetException& error) {
        code = error.errorCode();
        message = error.shownMessage();
    } catch (const AppException& error) {
        message = error.shownMessage();
    } catch (const std::bad_alloc&) {
        message = MemoryException().shownMessage();
    } catch (const std::exception& error) {
        const char* what = error.what();
        message = AppException(std::wstring(what, what + std::strlen(what))).shownMessage();
    } catch (...) {
        message = L"Unknown error.";
    }
    return UploadFailureText::forFailure(code, message, target.custom, target.server);
}

namespace {

std::wstring withRandomSuffix(const std::wstring& fileName) {
    return RemoteName::withSuffix(fileName, randomAlphanumeric(RemoteName::kSuffixLength));
}

// A server that answers SIZE must hold as many bytes as were sent; one that does not answer it
// is taken at its word, the transfer's closing reply.
void requireStoredSize(const FtpConnection& connection, const std::wstring& remotePath,
                       std::uint64_t sent) {
    std::wstring reply;
    try {
        reply = connection.command(L"SIZE " + remotePath);
    } catch (const InternetException&) {
        return;
    }
    const std::optional<std::uint64_t> size = ServerReply::fileSize(reply);
    if (size && *size != sent)
        throw AppException(L"The server kept " + std::to_wstring(*size) + L" of the " +
                           std::to_wstring(sent) + L" bytes sent.");
}

} // namespace

UploadAttempt::UploadAttempt(int id, std::wstring filePath, std::wstring fileName,
                             stSendTarget target, std::shared_ptr<FtpModeMemory> modes,
                             DWORD timeoutMs, std::shared_ptr<WarmConnections> warm)
    : id_(id), filePath_(std::move(filePath)), fileName_(std::move(fileName)),
      target_(std::move(target)), modes_(std::move(modes)), warm_(std::move(warm)),
      timeoutMs_(timeoutMs), session_(std::make_shared<InternetSession>(L"Pixlance", 1, timeoutMs)),
      lastProgress_(::GetTickCount64()) {}

UniqueHandle UploadAttempt::start(const std::shared_ptr<UploadAttempt>& attempt, HWND window,
                                  UINT message) {
    // The thread holds the attempt too, so an attempt given up outlives whoever gave it up.
    auto parameter = std::make_unique<WorkerStart>(WorkerStart{attempt, window, message});
    UniqueHandle thread(reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 0, &UploadAttempt::threadMain, parameter.get(), 0, nullptr)));
    if (thread)
        parameter.release();
    return thread;
}

unsigned __stdcall UploadAttempt::threadMain(void* parameter) {
    const std::unique_ptr<WorkerStart> start(static_cast<WorkerStart*>(parameter));
    start->attempt->run(start->window, start->message);
    return 0;
}

std::unique_ptr<UploadAttempt::Outcome> UploadAttempt::takeOutcome(LPARAM lParam) noexcept {
    return std::unique_ptr<Outcome>(reinterpret_cast<Outcome*>(lParam));
}

void UploadAttempt::abandon() noexcept {
    if (abandoned_.exchange(true))
        return;
    try {
        std::thread([self = shared_from_this()] {
            self->session_->close();
            std::lock_guard<std::mutex> guard(self->borrowedLock_);
            if (self->borrowed_)
                self->borrowed_->close();
        }).detach();
    } catch (...) {
        // Without a thread the session stays open: the worker ends when the server lets go.
    }
}

void UploadAttempt::run(HWND window, UINT message) noexcept {
    window_ = window;
    message_ = message;
    std::unique_ptr<Outcome> outcome;
    try {
        outcome = std::make_unique<Outcome>();
        outcome->id = id_;
        try {
            outcome->address = send();
            outcome->stored = true;
        } catch (...) {
            outcome->failureText = failureText(target_);
        }
    } catch (...) {
        // Without memory for its outcome the attempt says nothing; the GUI thread gives it up as
        // one that made no progress.
        return;
    }
    post(std::move(outcome));
}

void UploadAttempt::post(std::unique_ptr<Outcome> outcome) noexcept {
    if (abandoned_)
        return;
    // The receiver frees what it takes; a message that could not be posted is freed here.
    if (::PostMessageW(window_, message_, 0, reinterpret_cast<LPARAM>(outcome.get())))
        outcome.release();
}

std::wstring UploadAttempt::send() {
    DiskFile source(filePath_, DiskFile::Mode::OpenRead);
    if (std::optional<WarmConnections::Held> held =
            warm_ ? warm_->take(target_, timeoutMs_) : std::nullopt) {
        {
            std::lock_guard<std::mutex> guard(borrowedLock_);
            borrowed_ = held->session;
        }
        madeProgress();
        try {
            return sendOver(std::move(*held), source);
        } catch (const InternetException&) {
            // The server may have let the idle connection go: once more on a new one.
        } catch (const ModeRefused&) {
        }
        if (abandoned_)
            throw InternetException(ERROR_INTERNET_OPERATION_CANCELLED);
        source.seek(0, SeekOrigin::Begin);
    }
    bool passive = modes_->passiveFirst(target_.server, target_.port);
    try {
        return sendIn(passive, source);
    } catch (const ModeRefused& refused) {
        // The same upload once more in the other mode, from the start of the file.
        passive = !passive;
        source.seek(0, SeekOrigin::Begin);
        try {
            const std::wstring address = sendIn(passive, source);
            modes_->remember(target_.server, target_.port, passive);
            return address;
        } catch (const ModeRefused&) {
            std::rethrow_exception(refused.failure);
        }
    }
}

std::wstring UploadAttempt::sendIn(bool passive, DiskFile& source) {
    FtpConnection connection = session_->connectFtp(target_.server, target_.username,
                                                    target_.password, target_.port, passive);
    madeProgress();
    return sendOver(WarmConnections::Held{session_, std::move(connection), passive}, source);
}

std::wstring UploadAttempt::sendOver(WarmConnections::Held held, DiskFile& source) {
    const FtpConnection& connection = held.connection;
    RemoteFile remote = openRemoteFile(connection);
    madeProgress();
    const std::wstring remotePath = UploadAddress::remotePath(target_.path, remote.name);
    const std::wstring address =
        UploadAddress::publicAddress(target_.url, target_.server, target_.path, remote.name);
    try {
        std::vector<unsigned char> piece(FtpFile::kPieceSize);
        std::uint64_t sent = 0;
        while (const std::size_t got = source.read(piece.data(), piece.size())) {
            remote.file->write(piece.data(), got);
            sent += got;
            madeProgress();
        }
        remote.file->close();
        markStage(Stage::UploadClosed);
        // WinInet closes an upload without telling whether the server kept the file; the
        // server's verdict is the reply that closing read.
        if (ServerReply::isRefusal(lastServerReply()))
            throw InternetException(ERROR_INTERNET_EXTENDED_ERROR);
        madeProgress();
        // The address is of use from now on; the size the server answers only confirms that
        // the queue's copy may go.
        try {
            auto early = std::make_unique<Outcome>();
            early->id = id_;
            early->stored = true;
            early->address = address;
            early->sizePending = true;
            post(std::move(early));
        } catch (const std::bad_alloc&) {
            // The final outcome carries the address all the same.
        }
        requireStoredSize(connection, remotePath, sent);
    } catch (...) {
        remote.file.reset();
        // What the server holds of it is no image, and under a name that was free or random it
        // is this upload's own.
        if (!abandoned_)
            deletePartial(connection, remotePath);
        throw;
    }
    if (warm_ && !abandoned_)
        warm_->keep(target_, std::move(held));
    return address;
}

UploadAttempt::RemoteFile UploadAttempt::openRemoteFile(const FtpConnection& connection) {
    RemoteFile remote;
    remote.name = fileName_;
    bool random = RemoteName::hasRandomSuffix(fileName_);
    if (!random) {
        // The shared account always hides its files, also one queued by an older version or
        // while a custom target without suffixes was selected. Elsewhere a name of the time
        // alone may be taken: the first free one of "_2", "_3", ...; a server that does not
        // tell what it holds gets a name nobody can have chosen.
        const NameOnServer found =
            target_.custom ? firstFreeName(connection, fileName_) : NameOnServer{};
        remote.name = found.checked ? found.name : withRandomSuffix(fileName_);
        random = !found.checked;
    }
    for (int tries = 0;; ++tries) {
        const std::wstring path = UploadAddress::remotePath(target_.path, remote.name);
        try {
            // Over a name that was free, or one nobody can have chosen: the file is this
            // upload's own.
            remote.file.emplace(
                connection.openFile(path, GENERIC_WRITE, static_cast<DWORD_PTR>(id_)));
            return remote;
        } catch (const InternetException& error) {
            const bool extended = error.errorCode() == ERROR_INTERNET_EXTENDED_ERROR;
            if (FtpModeMemory::isDataConnectionFailure(extended, error.message()))
                throw ModeRefused{std::current_exception()};
            // A server that refuses to replace a file: with a random suffix, another one.
            if (!random || tries >= kSuffixTries || !nameTaken(connection, path))
                throw;
            remote.name = RemoteName::withOtherSuffix(
                remote.name, randomAlphanumeric(RemoteName::kSuffixLength));
        }
    }
}

UploadAttempt::NameOnServer UploadAttempt::firstFreeName(const FtpConnection& connection,
                                                         const std::wstring& name) {
    for (int number = 1; number <= kNumbersTried; ++number) {
        const std::wstring candidate = RemoteName::numbered(name, number);
        const std::optional<bool> taken =
            whetherTaken(connection, UploadAddress::remotePath(target_.path, candidate));
        madeProgress();
        if (!taken)
            return {candidate, false};
        if (!*taken)
            return {candidate, true};
    }
    throw AppException(L"The server holds a file of every name tried.");
}

bool UploadAttempt::nameTaken(const FtpConnection& connection, const std::wstring& path) {
    return whetherTaken(connection, path).value_or(false);
}

std::optional<bool> UploadAttempt::whetherTaken(const FtpConnection& connection,
                                                const std::wstring& path) {
    try {
        // Servers answer SIZE in binary mode only (in ASCII mode the size would depend on line
        // ends); a refusal in ASCII mode would read as "no such file".
        connection.command(L"TYPE I");
        const std::wstring reply = connection.command(L"SIZE " + path);
        if (ServerReply::code(reply) == 213)
            return true;
        if (ServerReply::code(reply) == 550)
            return false;
        // No SIZE here: a listing of that one name tells.
        FtpDirectoryEnumerator listing(connection);
        return listing.findFirst(path);
    } catch (const InternetException&) {
        return std::nullopt;
    }
}

void UploadAttempt::deletePartial(const FtpConnection& connection,
                                  const std::wstring& remotePath) noexcept {
    // Over this connection or, when that is what broke, one of its own. The failure stands
    // whatever happens here.
    try {
        connection.deleteFile(remotePath);
    } catch (...) {
        try {
            session_
                ->connectFtp(target_.server, target_.username, target_.password, target_.port,
                             modes_->passiveFirst(target_.server, target_.port))
                .deleteFile(remotePath);
        } catch (...) {
        }
    }
}
