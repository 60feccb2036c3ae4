#include "output/upload/cFTPOutput.h"

#include "output/UploadAddress.h"
#include "output/upload/RemoteName.h"
#include "output/upload/UploadFolders.h"
#include "platform/RandomText.h"

cFTPOutput::cFTPOutput()
    : history_(UploadFolders::historyFile()), reporter_(switches_, history_),
      queue_(UploadFolders::unsent()),
      runner_(
          queue_, [this] { return sendTarget(); }, reporter_, modes_) {}

cFTPOutput::~cFTPOutput() {
    // After the application's own stop, what still runs has had its time.
    runner_.stop(stopped_ ? 0 : kDestructorStopWaitMs);
}

void cFTPOutput::load(ISettingBag* bag) {
    if (!bag)
        return;
    bag->getString(L"ftpServer", custom_.server);
    bag->getString(L"ftpUsername", custom_.username);
    bag->getString(L"ftpPswd", custom_.password);
    bag->getString(L"ftpPath", custom_.path);
    bag->getBool(L"copyUrl", switches_.copyUrl);
    bag->getBool(L"openBrowser", switches_.openBrowser);
    bag->getBool(L"isEnabled", isEnabled_);
    bag->getBool(L"ftpCustom", ftpCustom_);
    bag->getString(L"urlImage", custom_.url);
    bag->getBool(L"randomName", randomName_);
    runner_.wake();
}

void cFTPOutput::save(ISettingBag* bag) {
    if (!bag)
        return;
    bag->setString(L"ftpServer", custom_.server);
    bag->setString(L"ftpUsername", custom_.username);
    bag->setString(L"ftpPswd", custom_.password);
    bag->setString(L"ftpPath", custom_.path);
    bag->setBool(L"copyUrl", switches_.copyUrl);
    bag->setBool(L"openBrowser", switches_.openBrowser);
    bag->setBool(L"isEnabled", isEnabled_);
    bag->setBool(L"ftpCustom", ftpCustom_);
    bag->setString(L"urlImage", custom_.url);
    bag->setBool(L"randomName", randomName_);
}

void cFTPOutput::put(stCaptureRecord* capture, int format, IFrameOutputUpdate* update) {
    if (!isEnabled_ || stopped_ || !capture || !capture->frame)
        return;
    const bool canSend = sendTarget().has_value();
    // With nowhere to send it, an image that is in the user's folder is safe where it is.
    if (!canSend && !capture->savedPath.empty())
        return;
    const std::wstring copyOf = capture->savedFormat == format ? capture->savedPath : L"";
    // Named as on the server, where the built-in account's files always get a random suffix.
    const std::wstring suffix =
        !ftpCustom_ || randomName_ ? L"_" + randomAlphanumeric(RemoteName::kSuffixLength) : L"";
    // The writer's own reports are no news of an upload: the one failure is told here.
    const std::wstring name = queue_.add(*capture->frame, format, copyOf, suffix, nullptr);
    if (name.empty()) {
        if (update)
            update->notify(false, L"Upload failed", L"Failed to compress image");
        return;
    }
    if (canSend) {
        if (update)
            update->progress(L"Image saved", L"Uploading to ftp");
    } else {
        reporter_.noTarget(queue_.pathOf(name), update);
    }
    runner_.add(name, capture->savedPath);
}

void cFTPOutput::expectCapture() {
    if (isEnabled_ && !stopped_)
        runner_.prepare();
}

bool cFTPOutput::stopUploads(DWORD timeoutMs) {
    stopped_ = true;
    return runner_.stop(timeoutMs);
}

std::vector<stHistoryEntry> cFTPOutput::recentUploads(std::size_t count) const {
    try {
        return history_.recent(count);
    } catch (const AppException&) {
        return {};
    }
}

void cFTPOutput::setTimings(const stUploadTimings& timings) {
    runner_.setTimings(timings);
    reporter_.setClipboardRetryTime(timings.clipboardRetryMs);
}

std::optional<stSendTarget> cFTPOutput::sendTarget() const {
    if (!isEnabled_)
        return std::nullopt;
    const stFtpTarget& chosen = ftpCustom_ ? custom_ : builtin_;
    const std::optional<UploadAddress::stFtpServer> server =
        UploadAddress::ftpServer(chosen.server);
    if (!server)
        return std::nullopt;
    stSendTarget target;
    target.server = server->host;
    target.port = server->port;
    target.username = chosen.username;
    target.password = chosen.password;
    target.path = UploadAddress::normalizeRemoteFolder(chosen.path);
    target.url = UploadAddress::normalizeBaseAddress(chosen.url);
    target.custom = ftpCustom_;
    return target;
}

void cFTPOutput::setTarget(const std::wstring& server, const std::wstring& username,
                           const std::wstring& password, const std::wstring& path, bool custom) {
    stFtpTarget& target = custom ? custom_ : builtin_;
    target.server = server;
    target.username = username;
    target.password = password;
    target.path = path;
    runner_.wake();
}

void cFTPOutput::getTarget(std::wstring& server, std::wstring& username, std::wstring& password,
                           std::wstring& path, bool custom) const {
    const stFtpTarget& target = custom ? custom_ : builtin_;
    server = target.server;
    username = target.username;
    password = target.password;
    path = target.path;
}

void cFTPOutput::setFtpCustom(bool value) {
    ftpCustom_ = value;
    runner_.wake();
}

void cFTPOutput::setEnabled(bool value) {
    isEnabled_ = value;
    runner_.wake();
}
