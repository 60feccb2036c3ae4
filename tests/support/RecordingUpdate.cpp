#include "support/RecordingUpdate.h"

#include <chrono>

void PrintTo(const RecordedMessage& message, std::ostream* out) {
    auto narrow = [](const std::wstring& text) {
        std::string result;
        for (wchar_t c : text)
            result.push_back(c > 0 && c < 0x80 ? static_cast<char>(c) : '?');
        return result;
    };
    if (message.kind == RecordedMessage::Kind::Notify)
        *out << "notify(" << (message.ok ? "true" : "false") << ", ";
    else
        *out << "progress(";
    *out << '"' << narrow(message.title) << "\", \"" << narrow(message.text) << "\")";
}

bool RecordingUpdate::notify(bool ok, const std::wstring& title, const std::wstring& text) {
    record(RecordedMessage::notify(ok, title, text));
    return notifyResult_;
}

void RecordingUpdate::progress(const std::wstring& title, const std::wstring& text) {
    record(RecordedMessage::progress(title, text));
}

void RecordingUpdate::record(RecordedMessage message) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        messages_.push_back(std::move(message));
    }
    arrived_.notify_all();
}

std::vector<RecordedMessage> RecordingUpdate::messages() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::size_t RecordingUpdate::count() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.size();
}

void RecordingUpdate::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    messages_.clear();
}

bool RecordingUpdate::waitForCount(std::size_t count, unsigned long timeoutMs) const {
    std::unique_lock<std::mutex> lock(mutex_);
    return arrived_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return messages_.size() >= count; });
}
