#pragma once

#include "output/IFrameOutputUpdate.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>
#include <vector>

// One call that reached a RecordingUpdate.
struct RecordedMessage {
    enum class Kind { Notify, Progress };

    Kind kind = Kind::Notify;
    bool ok = false; // always false for progress
    std::wstring title;
    std::wstring text;

    static RecordedMessage notify(bool ok, std::wstring title, std::wstring text) {
        return {Kind::Notify, ok, std::move(title), std::move(text)};
    }
    static RecordedMessage progress(std::wstring title, std::wstring text) {
        return {Kind::Progress, false, std::move(title), std::move(text)};
    }
    bool operator==(const RecordedMessage& other) const {
        return kind == other.kind && ok == other.ok && title == other.title && text == other.text;
    }
};

void PrintTo(const RecordedMessage& message, std::ostream* out);

// A status channel that records every call in order; safe for calls from several threads.
class RecordingUpdate : public IFrameOutputUpdate {
public:
    // What notify answers (whether the receiver still wants messages).
    explicit RecordingUpdate(bool notifyResult = true) : notifyResult_(notifyResult) {}

    bool notify(bool ok, const std::wstring& title, const std::wstring& text) override;
    void progress(const std::wstring& title, const std::wstring& text) override;

    std::vector<RecordedMessage> messages() const;
    std::size_t count() const;
    void clear();
    // Waits until at least `count` messages have arrived or the time is up; returns whether they
    // have. Does not pump the calling thread's window messages.
    bool waitForCount(std::size_t count, unsigned long timeoutMs = 10000) const;

private:
    void record(RecordedMessage message);

    const bool notifyResult_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    std::vector<RecordedMessage> messages_;
};
