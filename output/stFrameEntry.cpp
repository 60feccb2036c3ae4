#include "output/stFrameEntry.h"

bool stFrameEntry::isCancelled() const {
    std::lock_guard<std::recursive_mutex> guard(owner->lock);
    return cancelled != 0;
}

// The receiver is called outside the lock: it may wait for the GUI thread, which takes the lock.
bool stFrameEntry::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    if (isCancelled())
        return false;
    if (!targetUpdate || ok || transferBroken)
        return true;
    return targetUpdate->notify(ok, title, text);
}

void stFrameEntry::reportUploadFailure(const std::wstring& text) {
    if (!isCancelled() && targetUpdate)
        targetUpdate->notify(false, L"Upload failed", text);
}

void stFrameEntry::progress(const std::wstring& title, const std::wstring& text) {
    if (targetUpdate)
        targetUpdate->progress(title, text);
}
