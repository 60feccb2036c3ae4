#include "output/upload/cFTPOutput.h"

#include "output/UploadAddress.h"
#include "output/upload/StatusRelay.h"
#include "output/upload/UploadWorker.h"
#include "output/upload/stFrameEntry.h"
#include "platform/ResourceException.h"

#include <process.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Guard = std::lock_guard<std::mutex>;

void copyFrame(const cFrame& source, cFrame& target, bool withPixels) {
    target.name = source.name;
    target.nameNumber = source.nameNumber;
    if (!withPixels || !source.pixels || source.width <= 0 || source.height <= 0)
        return;
    target.allocate(source.width, source.height);
    std::memcpy(target.pixels.get(), source.pixels.get(), source.bufferSize());
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
    if (!isEnabled_ || !frame || shared_->isStopped())
        return;
    startUpload(frame, format, update);
}

void cFTPOutput::startUpload(const cFrame* frame, int format, IFrameOutputUpdate* update) {
    pruneWorkers();
    // The copy is the only heavy work here; it needs no lock.
    auto entry = std::make_unique<stFrameEntry>();
    // The disk output's bytes in this format are the upload's; without them it encodes the pixels.
    if (frame->savedImage && frame->savedImageFormat == format)
        entry->encoded = frame->savedImage;
    copyFrame(*frame, entry->frame, !entry->encoded);

    entry->relay = std::make_shared<StatusRelay>(update);

    std::unique_lock<std::mutex> guard(shared_->lock);
    entry->owner = shared_;
    entry->uploadId = ++nextUploadId_;
    entry->format = format;
    entry->url = ftpCustom_ ? custom_.url : builtin_.url;
    entry->custom = ftpCustom_;
    if (!frame->writtenToDisk)
        entry->fallbackFolder = fallbackFolder_;
    const stFtpTarget& target = ftpCustom_ ? custom_ : builtin_;
    entry->server = target.server;
    entry->username = target.username;
    entry->password = target.password;
    entry->path = target.path;
    entry->path = UploadAddress::normalizeRemoteFolder(entry->path);
    entry->server = UploadAddress::normalizeServer(entry->server);
    entry->url = UploadAddress::normalizeBaseAddress(entry->url);

    // Listed before its thread can run; the thread's last step waits for this lock to unlist it.
    workers_.reserve(workers_.size() + 1);
    shared_->pendingUploads.push_back(entry.get());
    if (HANDLE thread = startWorker_(&UploadWorker::run, entry.get())) {
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
        UploadWorker::reportFailureKeepingImage(*entry);
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

void cFTPOutput::cancelPending() {
    Guard guard(shared_->lock);
    for (stFrameEntry* entry : shared_->pendingUploads)
        entry->cancelled = true;
}

bool cFTPOutput::stopUploads(DWORD timeoutMs) {
    std::vector<std::shared_ptr<StatusRelay>> relays;
    {
        Guard guard(shared_->lock);
        shared_->stopped = true;
        for (stFrameEntry* entry : shared_->pendingUploads) {
            entry->cancelled = true;
            entry->relay->detach();
            relays.push_back(entry->relay);
        }
        // Closing the session closes every connection and file opened through it, which makes a
        // worker blocked in one of them return.
        shared_->session.close();
    }

    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    auto timeLeft = [deadline] {
        const ULONGLONG now = ::GetTickCount64();
        return now < deadline ? static_cast<DWORD>(deadline - now) : DWORD{0};
    };
    // A report that had started before the stop may still be in the receiver; it must be out
    // before the receiver can go.
    for (const auto& relay : relays)
        relay->waitForReports(timeLeft());
    for (auto& worker : workers_) {
        for (;;) {
            HANDLE handle = worker.get();
            // A worker may be telling the GUI thread something through a sent message; take it.
            const DWORD result =
                ::MsgWaitForMultipleObjects(1, &handle, FALSE, timeLeft(), QS_SENDMESSAGE);
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
    return FtpUploadShared::connectWithin(shared_, server, user, password, timeoutMs);
}
