#pragma once

#include "output/upload/UploadAttempt.h"
#include "output/upload/UploadQueue.h"
#include "output/upload/UploadSchedule.h"
#include "output/upload/UploadTimings.h"
#include "output/upload/WarmConnections.h"
#include "output/upload/stSendTarget.h"
#include "platform/Handles.h"
#include "platform/MessageWindow.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// What the runner tells its owner about each attempt, on the GUI thread.
class IUploadOutcomes {
public:
    // The server has closed the file's transfer; the size it holds is still to be confirmed.
    virtual void transferred(const stFrameEntry& entry, const std::wstring& address) = 0;
    // The server has the file; it has left the queue.
    virtual void uploaded(const stFrameEntry& entry, const std::wstring& address,
                          const stSendTarget& target) = 0;
    // The attempt failed; the file stays queued at keptPath. retrying: another attempt is planned.
    virtual void failed(const stFrameEntry& entry, const std::wstring& text,
                        const std::wstring& keptPath, bool retrying) = 0;

protected:
    ~IUploadOutcomes() = default;
};

// Sends the queued captures, on the GUI thread: starts an UploadAttempt for each capture the
// schedule says is due (at most two at a time, to the target selected at that moment), watches
// their progress, gives up one that makes none for the stall limit, and hears how each ended
// through messages to its own window. The queue's files are deleted here only, once the server
// has them. Nothing here waits for the network.
class UploadRunner : private MessageWindow {
public:
    // The target to send to now; none while uploading is off or no usable target is set.
    using TargetSource = std::function<std::optional<stSendTarget>()>;

    UploadRunner(UploadQueue& queue, TargetSource target, IUploadOutcomes& outcomes,
                 std::shared_ptr<FtpModeMemory> modes);
    // Gives up what still runs (see stop).
    ~UploadRunner() override;

    void setTimings(const stUploadTimings& timings);
    const stUploadTimings& timings() const noexcept { return timings_; }

    // Takes up what an earlier run left in the queue: half-written files go, complete ones are
    // sent.
    void resume();
    // A capture just queued, with the disk output's file of it (or empty).
    void add(const std::wstring& fileName, const std::wstring& localPath);
    // Every queued capture not being sent is sent now.
    void resendAll();
    // The target or the switch may have changed: what waits for one is looked at again.
    void wake();
    // The captures queued so far report no failure any more.
    void quietAll() noexcept { schedule_.quietAll(); }
    // A capture is about to come: the connection to the target is made now, unless one is warm.
    void prepare();
    // The capture prepared for ended with nothing.
    void unprepare() { warm_->unprepare(); }

    // Captures in the queue, those being sent included.
    std::size_t queuedCount() const noexcept { return schedule_.size(); }
    std::size_t sendingCount() const noexcept { return running_.size(); }

    // For exit and logoff: no attempt starts any more; the running ones are given up (their files
    // stay queued) and waited for at most timeoutMs. Returns whether all have ended.
    bool stop(DWORD timeoutMs) noexcept;

private:
    struct Running {
        std::shared_ptr<UploadAttempt> attempt;
        UniqueHandle thread;
    };

    bool onTimer(UINT_PTR id) override;
    bool onMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    // Starts what is due and sets the timer for what comes next.
    void startDue();
    void startAttempt(const stFrameEntry& entry, const stSendTarget& target);
    void attemptEnded(const UploadAttempt::Outcome& outcome);
    void transferred(const UploadAttempt::Outcome& outcome);
    void failAttempt(const std::wstring& fileName, const std::wstring& text);
    // Gives up the attempts that have made no progress for the stall limit.
    void giveUpStalled();
    // Forgets the threads of given-up attempts that have ended.
    void pruneAbandoned();
    void armTimer();

    UploadQueue& queue_;
    TargetSource target_;
    IUploadOutcomes& outcomes_;
    const std::shared_ptr<FtpModeMemory> modes_;
    const std::shared_ptr<WarmConnections> warm_ = std::make_shared<WarmConnections>();
    stUploadTimings timings_;
    UploadSchedule schedule_;
    std::map<int, Running> running_;
    // Threads of attempts given up, which may still be stuck in a send.
    std::vector<UniqueHandle> abandoned_;
    // When the warm connection is to be looked at again, if one is kept or being made.
    std::optional<ULONGLONG> warmExpiry_;
    int nextAttemptId_ = 0;
    bool stopped_ = false;
};
