#include "output/upload/stFrameEntry.h"

bool stFrameEntry::isCancelled() const {
    std::lock_guard<std::mutex> guard(owner->lock);
    return cancelled;
}

bool stFrameEntry::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    if (isCancelled())
        return false;
    if (ok || transferBroken)
        return true;
    return relay->notify(ok, title, text);
}

void stFrameEntry::reportUploadFailure(const std::wstring& text) {
    if (!isCancelled())
        relay->notify(false, L"Upload failed", text);
}

void stFrameEntry::progress(const std::wstring& title, const std::wstring& text) {
    relay->progress(title, text);
}
