#include "output/upload/UploadWorker.h"

#include "output/FrameFormat.h"
#include "output/FrameWriting.h"
#include "output/NewImageFile.h"
#include "output/UploadAddress.h"
#include "output/UploadFailureText.h"
#include "output/upload/AddressHandoff.h"
#include "output/upload/RemoteUploadFile.h"
#include "output/upload/TransferFile.h"
#include "output/upload/stFrameEntry.h"
#include "platform/InternetException.h"
#include "platform/MemoryException.h"
#include "platform/StageTimes.h"

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>

namespace {

// Connects in active mode on the protocol's default port, unless the output has stopped; a
// connect that races with the stop fails on the closed session.
FtpConnection connectToServer(const stFrameEntry& entry) {
    if (entry.owner->isStopped())
        throw InternetException(ERROR_INTERNET_OPERATION_CANCELLED);
    return entry.owner->session.connectFtp(entry.server, entry.username, entry.password);
}

// WinInet closes an upload without telling whether the server kept the file; the server's verdict
// is the reply that closing read. A transfer the server aborted (4xx, 5xx) is a failed upload.
void requireStoredReply() {
    const std::wstring reply = lastServerReply();
    auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    if (reply.size() >= 3 && (reply[0] == L'4' || reply[0] == L'5') && digit(reply[1]) &&
        digit(reply[2]))
        throw InternetException(ERROR_INTERNET_EXTENDED_ERROR);
}

AddressHandoff::Target handoffTarget(FtpUploadShared& shared) {
    std::lock_guard<std::mutex> guard(shared.lock);
    return shared.handoff;
}

// The failure text for the exception being handled.
std::wstring failureText(const stFrameEntry& entry) {
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
    return UploadFailureText::forFailure(code, message, entry.custom, entry.server);
}

// Keeps the image of a failed upload in its fallback folder, encoded as the upload was, in a new
// file of its own. Returns the file's path; empty when there is no folder or the image could not
// be written. Nothing of this is reported on its own.
std::wstring keepImage(const stFrameEntry& entry) noexcept {
    if (entry.fallbackFolder.empty() || !entry.frame.pixels)
        return {};
    try {
        std::wstring folder = entry.fallbackFolder;
        while (!folder.empty() && folder.back() == L'\\')
            folder.pop_back();
        // The folder may not exist yet, or the user removed it; if it still can't be had, the
        // file's creation fails.
        ::SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
        const NewImageFile kept = saveNewImageFile(folder, entry.frame, entry.format, nullptr);
        return kept.complete ? kept.path : std::wstring();
    } catch (...) {
        return {};
    }
}

// The failure text with one more line that names the kept image.
std::wstring withKeptImage(std::wstring text, const std::wstring& path) {
    if (!text.empty() && text.back() != L'\n')
        text += L'\n';
    return text + L"The image was kept in " + path;
}

// Tries once to delete what a failed upload left on the server, over a connection of its own (the
// upload's may be what broke). A failure here is let go: the upload has been reported already.
void deletePartialRemoteFile(const stFrameEntry& entry, const std::wstring& remotePath) noexcept {
    constexpr DWORD kConnectTimeoutMs = 10000;
    if (entry.owner->isStopped())
        return;
    try {
        FtpUploadShared::connectWithin(entry.owner, entry.server, entry.username, entry.password,
                                       kConnectTimeoutMs)
            .deleteFile(remotePath);
    } catch (...) {
    }
}

void upload(stFrameEntry& entry) {
    if (entry.server.empty())
        return;
    FtpUploadShared& shared = *entry.owner;
    std::optional<RemoteUploadFile> remote;
    std::wstring remotePath;
    bool stored = false;
    try {
        const std::wstring fileName = entry.frame.fileStem() + extensionFor(entry.format);
        remotePath = UploadAddress::remotePath(entry.path, fileName);
        if (!shared.isStopped())
            entry.progress(L"Image saved", L"Uploading to ftp");
        // Connecting and opening the remote file overlap with the start of the encoding.
        // The opening owns its path: it may still run when this frame has gone.
        remote.emplace([&entry, remotePath] {
            FtpConnection connection = connectToServer(entry);
            FtpFile file = connection.openFile(remotePath, GENERIC_WRITE,
                                               static_cast<DWORD_PTR>(entry.uploadId));
            return RemoteUpload{std::move(connection), std::move(file)};
        });
        // The writer reports through the entry, which keeps only its failures.
        TransferFile transfer(*remote, entry.transferBroken);
        bool written = true;
        if (entry.encoded)
            transfer.write(entry.encoded->data(), entry.encoded->size());
        else
            written = writeFrameAs(entry.format, &entry.frame, &transfer, &entry);
        transfer.rethrowFailure();
        remote->close();
        markStage(Stage::UploadClosed);
        requireStoredReply();
        // A half-encoded image is no success; the writer has said why, where it could.
        if (!written)
            throw AppException(L"Failed to compress image");
        stored = true;

        const std::wstring address =
            UploadAddress::publicAddress(entry.url, entry.server, entry.path, fileName);
        if (shared.isStopped())
            return;
        // The GUI thread opens and copies it, if the application named a window for that.
        const bool copied = AddressHandoff::handOff({address, shared.openBrowser, shared.copyUrl},
                                                    handoffTarget(shared));
        // Straight to the receiver: a cancelled upload still reports its success.
        entry.relay->notify(true, L"Upload successfull", copied ? L"URL copied to clipboard" : L"");
    } catch (...) {
        UploadWorker::reportFailureKeepingImage(entry);
        if (remote) {
            const bool leftSomething = !stored && remote->wasOpened();
            try {
                remote->close();
            } catch (...) {
                // The upload has failed and been reported; what is left of its transfer goes.
            }
            if (leftSomething)
                deletePartialRemoteFile(entry, remotePath);
        }
    }
}

} // namespace

namespace UploadWorker {

void reportFailureKeepingImage(stFrameEntry& entry) {
    const std::wstring text = failureText(entry);
    const std::wstring kept = keepImage(entry);
    entry.reportUploadFailure(kept.empty() ? text : withKeptImage(text, kept));
}

unsigned __stdcall run(void* parameter) {
    std::unique_ptr<stFrameEntry> entry(static_cast<stFrameEntry*>(parameter));
    const std::shared_ptr<FtpUploadShared> shared = entry->owner;
    try {
        upload(*entry);
    } catch (...) {
        // upload reports its own failures; this is a receiver that threw while being told. It is
        // told once more, plainly.
        try {
            entry->relay->notify(false, L"Upload failed", L"");
        } catch (...) {
        }
    }
    std::lock_guard<std::mutex> guard(shared->lock);
    shared->pendingUploads.remove(entry.get());
    entry.reset();
    return 0;
}

} // namespace UploadWorker
