#pragma once

#include "output/upload/UploadTimings.h"

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <vector>

// One capture in the upload queue, as the schedule keeps it.
struct stFrameEntry {
    enum class State { Waiting, Sending, Resting };

    std::wstring fileName;  // the queued file, named as it will be on the server
    std::wstring localPath; // the disk output's file of the same image, or empty
    State state = State::Waiting;
    std::uint64_t dueAt = 0; // while waiting: not sent before this time
    int failures = 0;        // since it was queued or last resent by hand
    bool quiet = false;      // its failures are not told (see quietAll)
};

// When each queued capture is sent: at once when it is queued, again after each failure as the
// timings say, and after the last of those only when resent by hand (or at the next start, which
// queues it anew). At most kMaxSending are sent at a time; the others wait their turn in queue
// order. Times are milliseconds of one steady clock.
class UploadSchedule {
public:
    static constexpr std::size_t kMaxSending = 2;

    explicit UploadSchedule(const stUploadTimings& timings = {}) : timings_(timings) {}
    void setTimings(const stUploadTimings& timings) { timings_ = timings; }

    // Queues a capture, due at once; one already queued under that name stays as it is.
    void add(const std::wstring& fileName, const std::wstring& localPath, std::uint64_t now);
    // The entries to send now, as many as there are free places, in queue order; they are
    // sending from here on.
    std::vector<stFrameEntry> takeDue(std::uint64_t now);
    // The capture is on the server: it leaves the schedule.
    void succeeded(const std::wstring& fileName);
    // The attempt failed; the capture waits for its next one. Returns whether one is planned.
    bool failed(const std::wstring& fileName, std::uint64_t now);
    // Every capture not being sent is due at once, its failures forgotten.
    void resendAll(std::uint64_t now);
    // The captures queued so far report no failure any more.
    void quietAll() noexcept;

    // When the next waiting capture falls due; none when none waits.
    std::optional<std::uint64_t> nextDue() const;
    const stFrameEntry* find(const std::wstring& fileName) const;
    std::size_t size() const noexcept { return entries_.size(); }
    std::size_t sendingCount() const noexcept;

private:
    stFrameEntry* findEntry(const std::wstring& fileName);

    stUploadTimings timings_;
    std::list<stFrameEntry> entries_;
};
