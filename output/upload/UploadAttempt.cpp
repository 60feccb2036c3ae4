#include "output/upload/UploadAttempt.h"

#include "output/UploadAddress.h"
#include "output/UploadFailureText.h"
#include "output/upload/ServerReply.h"
#include "platform/DiskFile.h"
#include "platform/FtpConnection.h"
#include "platform/InternetException.h"
#include "platform/MemoryException.h"
#include "platform/StageTimes.h"

#include <process.h>

#include <cstring>
#include <new>
#include <optional>
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
                             stSendTarget target, DWORD timeoutMs)
    : id_(id), filePath_(std::move(filePath)), fileName_(std::move(fileName)),
      target_(std::move(target)), session_(L"Pixlance", 1, timeoutMs),
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
    abandoned_ = true;
    session_.close();
}

void UploadAttempt::run(HWND window, UINT message) noexcept {
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
    if (abandoned_)
        return;
    // The receiver frees what it takes; a message that could not be posted is freed here.
    if (::PostMessageW(window, message, 0, reinterpret_cast<LPARAM>(outcome.get())))
        outcome.release();
}

std::wstring UploadAttempt::send() {
    const std::wstring remotePath = UploadAddress::remotePath(target_.path, fileName_);
    DiskFile source(filePath_, DiskFile::Mode::OpenRead);
    FtpConnection connection =
        session_.connectFtp(target_.server, target_.username, target_.password, target_.port);
    madeProgress();
    std::optional<FtpFile> remote(
        connection.openFile(remotePath, GENERIC_WRITE, static_cast<DWORD_PTR>(id_)));
    madeProgress();
    try {
        std::vector<unsigned char> piece(FtpFile::kPieceSize);
        std::uint64_t sent = 0;
        while (const std::size_t got = source.read(piece.data(), piece.size())) {
            remote->write(piece.data(), got);
            sent += got;
            madeProgress();
        }
        remote->close();
        markStage(Stage::UploadClosed);
        // WinInet closes an upload without telling whether the server kept the file; the
        // server's verdict is the reply that closing read.
        if (ServerReply::isRefusal(lastServerReply()))
            throw InternetException(ERROR_INTERNET_EXTENDED_ERROR);
        madeProgress();
        requireStoredSize(connection, remotePath, sent);
    } catch (...) {
        // What the server holds of it is no image; it goes, over this connection or, when that
        // is what broke, one of its own. The failure stands whatever happens here.
        remote.reset();
        if (!abandoned_) {
            try {
                connection.deleteFile(remotePath);
            } catch (...) {
                try {
                    session_
                        .connectFtp(target_.server, target_.username, target_.password,
                                    target_.port)
                        .deleteFile(remotePath);
                } catch (...) {
                }
            }
        }
        throw;
    }
    return UploadAddress::publicAddress(target_.url, target_.server, target_.path, fileName_);
}
