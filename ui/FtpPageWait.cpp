#include "ui/FtpPageWait.h"

#include "platform/DialogData.h"
#include "platform/ResourceString.h"
#include "res/PreferencesIds.h"

void FtpPageWait::begin(HWND page, int button, int otherButton, FtpWorker worker, DWORD timeoutMs) {
    end();
    std::wstring caption = DialogData::text(page, button);
    std::wstring cancel = loadResourceString(IDS_CANCEL_WAIT);
    worker_.emplace(std::move(worker));
    page_ = page;
    button_ = button;
    otherButton_ = otherButton;
    caption_ = std::move(caption);
    DialogData::setText(page, button, cancel);
    DialogData::enable(page, otherButton, false);
    ::SetTimer(page, kTimerId, timeoutMs, nullptr);
}

std::optional<FtpWorker> FtpPageWait::end() noexcept {
    if (!worker_)
        return std::nullopt;
    ::KillTimer(page_, kTimerId);
    ::SetDlgItemTextW(page_, button_, caption_.c_str());
    DialogData::enable(page_, otherButton_, true);
    std::optional<FtpWorker> worker = std::move(worker_);
    worker_.reset();
    button_ = otherButton_ = 0;
    return worker;
}
