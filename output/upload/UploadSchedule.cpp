#include "output/upload/UploadSchedule.h"

#include <algorithm>

using State = stFrameEntry::State;

void UploadSchedule::add(const std::wstring& fileName, const std::wstring& localPath,
                         std::uint64_t now) {
    if (findEntry(fileName))
        return;
    stFrameEntry entry;
    entry.fileName = fileName;
    entry.localPath = localPath;
    entry.dueAt = now;
    entries_.push_back(std::move(entry));
}

std::vector<stFrameEntry> UploadSchedule::takeDue(std::uint64_t now) {
    std::vector<stFrameEntry> due;
    std::size_t sending = sendingCount();
    for (stFrameEntry& entry : entries_) {
        if (sending >= kMaxSending)
            break;
        if (entry.state != State::Waiting || entry.dueAt > now)
            continue;
        entry.state = State::Sending;
        ++sending;
        due.push_back(entry);
    }
    return due;
}

void UploadSchedule::succeeded(const std::wstring& fileName) {
    entries_.remove_if([&](const stFrameEntry& entry) { return entry.fileName == fileName; });
}

bool UploadSchedule::failed(const std::wstring& fileName, std::uint64_t now) {
    stFrameEntry* entry = findEntry(fileName);
    if (!entry)
        return false;
    const std::size_t failures = static_cast<std::size_t>(++entry->failures);
    if (failures > timings_.retryDelaysMs.size()) {
        entry->state = State::Resting;
        return false;
    }
    entry->state = State::Waiting;
    entry->dueAt = now + timings_.retryDelaysMs[failures - 1];
    return true;
}

void UploadSchedule::resendAll(std::uint64_t now) {
    for (stFrameEntry& entry : entries_) {
        if (entry.state == State::Sending)
            continue;
        entry.state = State::Waiting;
        entry.dueAt = now;
        entry.failures = 0;
    }
}

void UploadSchedule::quietAll() noexcept {
    for (stFrameEntry& entry : entries_)
        entry.quiet = true;
}

std::optional<std::uint64_t> UploadSchedule::nextDue() const {
    std::optional<std::uint64_t> next;
    for (const stFrameEntry& entry : entries_)
        if (entry.state == State::Waiting && (!next || entry.dueAt < *next))
            next = entry.dueAt;
    return next;
}

const stFrameEntry* UploadSchedule::find(const std::wstring& fileName) const {
    for (const stFrameEntry& entry : entries_)
        if (entry.fileName == fileName)
            return &entry;
    return nullptr;
}

stFrameEntry* UploadSchedule::findEntry(const std::wstring& fileName) {
    return const_cast<stFrameEntry*>(static_cast<const UploadSchedule&>(*this).find(fileName));
}

std::size_t UploadSchedule::sendingCount() const noexcept {
    return static_cast<std::size_t>(
        std::count_if(entries_.begin(), entries_.end(),
                      [](const stFrameEntry& entry) { return entry.state == State::Sending; }));
}
