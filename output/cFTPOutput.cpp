#include "output/cFTPOutput.h"

#include "output/AddressHandoff.h"
#include "output/FrameFormat.h"
#include "output/FrameWriting.h"
#include "output/NewImageFile.h"
#include "output/RemoteUploadFile.h"
#include "output/TransferFile.h"
#include "output/UploadAddress.h"
#include "output/UploadFailureText.h"
#include "output/stFrameEntry.h"
#include "platform/InternetException.h"
#include "platform/MemoryException.h"
#include "platform/ResourceException.h"

#include <process.h>
#include <shlobj.h>

#include <chrono>
#include <cstring>
#include <future>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace {

using Guard = std::lock_guard<std::recursive_mutex>;

bool isStopped(FtpUploadShared& shared) {
    Guard guard(shared.lock);
    return shared.stopped;
}

// Connects in active mode on the protocol's default port. The session's handle is read under the
// lock, since stopping closes it; a connect that races with the stop fails on the closed handle.
FtpConnection connectToServer(const stFrameEntry& entry) {
    HINTERNET session = nullptr;
    {
        Guard guard(entry.owner->lock);
        if (entry.owner->stopped)
            throw InternetException(ERROR_INTERNET_OPERATION_CANCELLED);
        session = entry.owner->session.handle();
    }
    HINTERNET connection = ::InternetConnectW(
        session, entry.server.c_str(), 0, entry.username.empty() ? nullptr : entry.username.c_str(),
        entry.password.empty() ? nullptr : entry.password.c_str(), INTERNET_SERVICE_FTP, 0,
        entry.owner->session.context());
    if (!connection)
        throw InternetException::fromLastError();
    return FtpConnection(UniqueInternetHandle(connection));
}

// WinInet closes an upload without telling whether the server kept the file; the server's verdict
// is the reply that closing read. A transfer the server aborted (4xx, 5xx) is a failed upload.
void requireStoredReply() {
    DWORD error = 0;
    DWORD length = 0;
    ::InternetGetLastResponseInfoW(&error, nullptr, &length);
    if (length == 0)
        return;
    std::vector<wchar_t> reply(length + 1, L'\0');
    DWORD size = static_cast<DWORD>(reply.size());
    if (!::InternetGetLastResponseInfoW(&error, reply.data(), &size) || size < 3)
        return;
    auto digit = [](wchar_t c) { return c >= L'0' && c <= L'9'; };
    if ((reply[0] == L'4' || reply[0] == L'5') && digit(reply[1]) && digit(reply[2]))
        throw InternetException(ERROR_INTERNET_EXTENDED_ERROR);
}

AddressHandoff::Target handoffTarget(FtpUploadShared& shared) {
    Guard guard(shared.lock);
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

// Reports the failure being handled; the image is kept first, so that the report can name it.
void reportFailureKeepingImage(stFrameEntry& entry) {
    const std::wstring text = failureText(entry);
    const std::wstring kept = keepImage(entry);
    entry.reportUploadFailure(kept.empty() ? text : withKeptImage(text, kept));
}

void copyFrame(const cFrame& source, cFrame& target) {
    target.name = source.name;
    target.nameNumber = source.nameNumber;
    if (!source.pixels || source.width <= 0 || source.height <= 0)
        return;
    target.allocate(source.width, source.height);
    std::memcpy(target.pixels.get(), source.pixels.get(), source.bufferSize());
}

// Logs in on a thread that owns what it uses, the session included, so that it may outlive the
// wait and even the output; waits at most timeoutMs for it.
FtpConnection connectBounded(const std::shared_ptr<FtpUploadShared>& shared,
                             const std::wstring& server, const std::wstring& user,
                             const std::wstring& password, DWORD timeoutMs) {
    std::packaged_task<FtpConnection()> attempt([shared, server, user, password] {
        return shared->session.connectFtp(server, user, password);
    });
    std::future<FtpConnection> result = attempt.get_future();
    std::thread(std::move(attempt)).detach();
    if (result.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
        throw InternetException(ERROR_INTERNET_TIMEOUT);
    return result.get();
}

// Tries once to delete what a failed upload left on the server, over a connection of its own (the
// upload's may be what broke). A failure here is let go: the upload has been reported already.
void deletePartialRemoteFile(const stFrameEntry& entry, const std::wstring& remotePath) noexcept {
    constexpr DWORD kConnectTimeoutMs = 10000;
    if (isStopped(*entry.owner))
        return;
    try {
        connectBounded(entry.owner, entry.server, entry.username, entry.password, kConnectTimeoutMs)
            .deleteFile(remotePath);
    } catch (...) {
    }
}

} // namespace

cFTPOutput::cFTPOutput() : shared_(std::make_shared<FtpUploadShared>()) {}

cFTPOutput::~cFTPOutput() {
    bool stopped = false;
    {
        Guard guard(shared_->lock);
        stopped = shared_->stopped;
    }
    // After the application's own stop, what still runs has had its time.
    stopUploads(stopped ? 0 : kDestructorStopWaitMs);
}

void cFTPOutput::load(ISettingBag* bag) {
    if (!bag)
        return;
    Guard guard(shared_->lock);
    bag->getString(L"ftpServer", custom_.server);
    bag->getString(L"ftpUsername", custom_.username);
    bag->getString(L"ftpPswd", custom_.password);
    bag->getString(L"ftpPath", custom_.path);
    bool value = false;
    if (bag->getBool(L"copyUrl", value))
        shared_->copyUrl = value;
    if (bag->getBool(L"openBrowser", value))
        shared_->openBrowser = value;
    bag->getBool(L"isEnabled", isEnabled_);
    bag->getBool(L"ftpCustom", ftpCustom_);
    bag->getString(L"urlImage", custom_.url);
}

void cFTPOutput::save(ISettingBag* bag) {
    if (!bag)
        return;
    Guard guard(shared_->lock);
    bag->setString(L"ftpServer", custom_.server);
    bag->setString(L"ftpUsername", custom_.username);
    bag->setString(L"ftpPswd", custom_.password);
    bag->setString(L"ftpPath", custom_.path);
    bag->setBool(L"copyUrl", shared_->copyUrl);
    bag->setBool(L"openBrowser", shared_->openBrowser);
    bag->setBool(L"isEnabled", isEnabled_);
    bag->setBool(L"ftpCustom", ftpCustom_);
    bag->setString(L"urlImage", custom_.url);
}

void cFTPOutput::put(const cFrame* frame, int format, IFrameOutputUpdate* update) {
    if (!isEnabled_ || !frame || isStopped(*shared_))
        return;
    startUpload(frame, format, update);
}

void cFTPOutput::startUpload(const cFrame* frame, int format, IFrameOutputUpdate* update) {
    pruneWorkers();
    // The copy is the only heavy work here; it needs no lock.
    auto entry = std::make_unique<stFrameEntry>();
    copyFrame(*frame, entry->frame);

    std::unique_lock<std::recursive_mutex> guard(shared_->lock);
    entry->owner = shared_;
    entry->targetUpdate = update;
    entry->uploadId = ++nextUploadId_;
    entry->format = format;
    entry->url = ftpCustom_ ? custom_.url : builtin_.url;
    entry->custom = ftpCustom_;
    if (!frame->writtenToDisk)
        entry->fallbackFolder = fallbackFolder_;
    getTarget(entry->server, entry->username, entry->password, entry->path, ftpCustom_);
    entry->path = UploadAddress::normalizeRemoteFolder(entry->path);
    entry->server = UploadAddress::normalizeServer(entry->server);
    entry->url = UploadAddress::normalizeBaseAddress(entry->url);

    // Listed before its thread can run; the thread's last step waits for this lock to unlist it.
    workers_.reserve(workers_.size() + 1);
    shared_->pendingUploads.push_back(entry.get());
    if (HANDLE thread = startWorker_(&cFTPOutput::uploadThreadProc, entry.get())) {
        entry.release();
        workers_.emplace_back(thread);
        return;
    }
    // No thread will unlist it, and stopUploads must not wait for it.
    shared_->pendingUploads.pop_back();
    guard.unlock();
    try {
        throw ResourceException();
    } catch (...) {
        reportFailureKeepingImage(*entry);
    }
}

HANDLE cFTPOutput::startSuspendedWorker(unsigned(__stdcall* proc)(void*), void* parameter) {
    UniqueHandle thread(reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 0, proc, parameter, CREATE_SUSPENDED, nullptr)));
    if (!thread)
        return nullptr;
    if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
        // It never ran, so it holds nothing: ending it leaves the entry to the caller.
        ::TerminateThread(thread.get(), 1);
        return nullptr;
    }
    return thread.release();
}

unsigned __stdcall cFTPOutput::uploadThreadProc(void* parameter) {
    std::unique_ptr<stFrameEntry> entry(static_cast<stFrameEntry*>(parameter));
    const std::shared_ptr<FtpUploadShared> shared = entry->owner;
    try {
        upload(*entry);
    } catch (...) {
        // upload reports its own failures; this is a receiver that threw while being told.
        ::OutputDebugStringW(L"Pixlance: an upload's status receiver raised an exception\n");
    }
    Guard guard(shared->lock);
    shared->pendingUploads.remove(entry.get());
    entry.reset();
    return 0;
}

void cFTPOutput::upload(stFrameEntry& entry) {
    if (entry.server.empty())
        return;
    FtpUploadShared& shared = *entry.owner;
    std::optional<RemoteUploadFile> remote;
    std::wstring remotePath;
    bool stored = false;
    try {
        const std::wstring fileName = entry.frame.fileStem() + extensionFor(entry.format);
        remotePath = UploadAddress::remotePath(entry.path, fileName);
        if (!isStopped(shared))
            entry.progress(L"Image saved", L"Uploading to ftp");
        // Connecting and opening the remote file overlap with the start of the encoding.
        remote.emplace([&entry, &remotePath] {
            FtpConnection connection = connectToServer(entry);
            FtpFile file = connection.openFile(remotePath, GENERIC_WRITE,
                                               static_cast<DWORD_PTR>(entry.uploadId));
            return RemoteUpload{std::move(connection), std::move(file)};
        });
        // The writer reports through the entry, which keeps only its failures.
        TransferFile transfer(*remote, entry.transferBroken);
        const bool written = writeFrameAs(entry.format, &entry.frame, &transfer, &entry);
        transfer.rethrowFailure();
        remote->close();
        requireStoredReply();
        // A half-encoded image is no success; the writer has said why, where it could.
        if (!written)
            throw AppException(L"Failed to compress image");
        stored = true;

        const std::wstring address =
            UploadAddress::publicAddress(entry.url, entry.server, entry.path, fileName);
        if (isStopped(shared))
            return;
        // The GUI thread opens and copies it, if the application named a window for that.
        const bool copied = AddressHandoff::handOff({address, shared.openBrowser, shared.copyUrl},
                                                    handoffTarget(shared));
        // Straight to the receiver: a cancelled upload still reports its success.
        if (entry.targetUpdate && !isStopped(shared))
            entry.targetUpdate->notify(true, L"Upload successfull",
                                       copied ? L"URL copied to clipboard" : L"");
    } catch (...) {
        reportFailureKeepingImage(entry);
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

void cFTPOutput::cancelPending() {
    Guard guard(shared_->lock);
    for (stFrameEntry* entry : shared_->pendingUploads)
        entry->cancelled = 1;
}

bool cFTPOutput::stopUploads(DWORD timeoutMs) {
    {
        Guard guard(shared_->lock);
        shared_->stopped = true;
        for (stFrameEntry* entry : shared_->pendingUploads)
            entry->cancelled = 1;
        // Closing the session closes every connection and file opened through it, which makes a
        // worker blocked in one of them return.
        shared_->session.close();
    }

    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    for (auto& worker : workers_) {
        for (;;) {
            const ULONGLONG now = ::GetTickCount64();
            const DWORD left = now < deadline ? static_cast<DWORD>(deadline - now) : 0;
            HANDLE handle = worker.get();
            // A worker may be telling the GUI thread something through a sent message; take it.
            const DWORD result =
                ::MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
            if (result != WAIT_OBJECT_0 + 1)
                break;
            MSG message;
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
    }
    pruneWorkers();
    return workers_.empty();
}

void cFTPOutput::pruneWorkers() {
    std::vector<UniqueHandle> running;
    for (auto& worker : workers_)
        if (::WaitForSingleObject(worker.get(), 0) != WAIT_OBJECT_0)
            running.push_back(std::move(worker));
    workers_ = std::move(running);
}

void cFTPOutput::setTarget(const std::wstring& server, const std::wstring& username,
                           const std::wstring& password, const std::wstring& path, bool custom) {
    Guard guard(shared_->lock);
    stFtpTarget& target = custom ? custom_ : builtin_;
    target.server = server;
    target.username = username;
    target.password = password;
    target.path = path;
}

void cFTPOutput::getTarget(std::wstring& server, std::wstring& username, std::wstring& password,
                           std::wstring& path, bool custom) const {
    Guard guard(shared_->lock);
    const stFtpTarget& target = custom ? custom_ : builtin_;
    server = target.server;
    username = target.username;
    password = target.password;
    path = target.path;
}

bool cFTPOutput::ftpCustom() const {
    Guard guard(shared_->lock);
    return ftpCustom_;
}

void cFTPOutput::setFtpCustom(bool value) {
    Guard guard(shared_->lock);
    ftpCustom_ = value;
}

stFtpTarget cFTPOutput::customTarget() const {
    Guard guard(shared_->lock);
    return custom_;
}

void cFTPOutput::setAddressHandoff(HWND window, DWORD waitMs) {
    Guard guard(shared_->lock);
    shared_->handoff = AddressHandoff::Target{window, waitMs};
}

std::wstring cFTPOutput::customUrl() const {
    Guard guard(shared_->lock);
    return custom_.url;
}

void cFTPOutput::setCustomUrl(const std::wstring& url) {
    Guard guard(shared_->lock);
    custom_.url = url;
}

std::wstring cFTPOutput::builtinUrl() const {
    Guard guard(shared_->lock);
    return builtin_.url;
}

void cFTPOutput::setBuiltinUrl(const std::wstring& url) {
    Guard guard(shared_->lock);
    builtin_.url = url;
}

void cFTPOutput::setFallbackFolder(const std::wstring& folder) {
    Guard guard(shared_->lock);
    fallbackFolder_ = folder;
}

std::size_t cFTPOutput::pendingUploadCount() const {
    Guard guard(shared_->lock);
    return shared_->pendingUploads.size();
}

FtpConnection cFTPOutput::connectWithin(const std::wstring& server, const std::wstring& user,
                                        const std::wstring& password, DWORD timeoutMs) {
    return connectBounded(shared_, server, user, password, timeoutMs);
}
