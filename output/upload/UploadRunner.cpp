#include "output/upload/UploadRunner.h"

#include "output/UploadFailureText.h"
#include "platform/InternetException.h"
#include "platform/ResourceException.h"
#include "platform/WorkerThread.h"

#include <algorithm>

namespace {

constexpr UINT kAttemptEndedMessage = WM_APP + 1;
constexpr UINT_PTR kScheduleTimer = 1;
// How often attempts in flight are looked at for progress, at most.
constexpr ULONGLONG kWatchEveryMs = 1000;

ULONGLONG now() noexcept {
    return ::GetTickCount64();
}

} // namespace

UploadRunner::UploadRunner(UploadQueue& queue, TargetSource target, IUploadOutcomes& outcomes,
                           std::shared_ptr<FtpModeMemory> modes)
    : queue_(queue), target_(std::move(target)), outcomes_(outcomes), modes_(std::move(modes)),
      schedule_(timings_) {}

UploadRunner::~UploadRunner() {
    stop(0);
    // Outcomes posted and not yet taken would go with the window's queue.
    MSG message;
    while (::PeekMessageW(&message, hwnd(), kAttemptEndedMessage, kAttemptEndedMessage, PM_REMOVE))
        UploadAttempt::takeOutcome(message.lParam);
}

void UploadRunner::setTimings(const stUploadTimings& timings) {
    timings_ = timings;
    schedule_.setTimings(timings);
}

void UploadRunner::resume() {
    queue_.removeUnfinished();
    for (const std::wstring& name : queue_.list())
        schedule_.add(name, L"", now());
    startDue();
}

void UploadRunner::add(const std::wstring& fileName, const std::wstring& localPath) {
    schedule_.add(fileName, localPath, now());
    startDue();
}

void UploadRunner::resendAll() {
    schedule_.resendAll(now());
    startDue();
}

void UploadRunner::wake() {
    startDue();
}

void UploadRunner::prepare() {
    if (stopped_)
        return;
    const std::optional<stSendTarget> target = target_();
    if (!target)
        return;
    warm_->prepare(*target, modes_->passiveFirst(target->server, target->port),
                   timings_.networkTimeoutMs);
    // A connection made for a capture that never comes still goes when its time is over.
    const ULONGLONG keptUntil = now() + WarmConnectionRule::kKeepMs + timings_.networkTimeoutMs;
    if (!warmExpiry_ || keptUntil < *warmExpiry_)
        warmExpiry_ = keptUntil;
    armTimer();
}

void UploadRunner::startDue() {
    if (stopped_)
        return;
    const std::optional<stSendTarget> target = target_();
    // The warm connection goes when its target is no longer the one selected.
    warmExpiry_ = warm_->tidy(target);
    if (target)
        for (const stFrameEntry& entry : schedule_.takeDue(now()))
            startAttempt(entry, *target);
    armTimer();
}

void UploadRunner::startAttempt(const stFrameEntry& entry, const stSendTarget& target) {
    const int id = ++nextAttemptId_;
    try {
        auto attempt =
            std::make_shared<UploadAttempt>(id, queue_.pathOf(entry.fileName), entry.fileName,
                                            target, modes_, timings_.networkTimeoutMs, warm_);
        UniqueHandle thread = UploadAttempt::start(attempt, hwnd(), kAttemptEndedMessage);
        if (!thread)
            throw ResourceException();
        running_.emplace(id, Running{std::move(attempt), std::move(thread)});
    } catch (...) {
        failAttempt(entry.fileName, UploadAttempt::failureText(target));
    }
}

// Whatever the outcome says, the timer is set again: the next start, the next look at progress.
void UploadRunner::armTimer() {
    ::KillTimer(hwnd(), kScheduleTimer);
    if (stopped_)
        return;
    std::optional<ULONGLONG> wakeAt;
    if (!running_.empty())
        wakeAt = now() + std::min<ULONGLONG>(kWatchEveryMs, timings_.stallLimitMs / 2 + 1);
    // What is due waits for a target without a timer: the change that brings one wakes us.
    const std::optional<std::uint64_t> due = schedule_.nextDue();
    if (due && *due > now() && (!wakeAt || *due < *wakeAt))
        wakeAt = *due;
    if (warmExpiry_ && (!wakeAt || *warmExpiry_ < *wakeAt))
        wakeAt = *warmExpiry_;
    if (!wakeAt)
        return;
    const ULONGLONG delay = *wakeAt > now() ? *wakeAt - now() : 0;
    ::SetTimer(hwnd(), kScheduleTimer, static_cast<UINT>(std::max<ULONGLONG>(delay, 10)), nullptr);
}

bool UploadRunner::onTimer(UINT_PTR id) {
    if (id != kScheduleTimer)
        return false;
    ::KillTimer(hwnd(), kScheduleTimer);
    giveUpStalled();
    pruneAbandoned();
    startDue();
    return true;
}

bool UploadRunner::onMessage(UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
    if (message != kAttemptEndedMessage)
        return false;
    const std::unique_ptr<UploadAttempt::Outcome> outcome = UploadAttempt::takeOutcome(lParam);
    if (outcome && outcome->sizePending)
        transferred(*outcome);
    else if (outcome)
        attemptEnded(*outcome);
    result = 0;
    return true;
}

void UploadRunner::transferred(const UploadAttempt::Outcome& outcome) {
    const auto found = running_.find(outcome.id);
    if (found == running_.end())
        return;
    if (const stFrameEntry* entry = schedule_.find(found->second.attempt->fileName()))
        outcomes_.transferred(*entry, outcome.address);
}

void UploadRunner::attemptEnded(const UploadAttempt::Outcome& outcome) {
    const auto found = running_.find(outcome.id);
    // An attempt given up has been reported already.
    if (found == running_.end())
        return;
    const std::shared_ptr<UploadAttempt> attempt = found->second.attempt;
    running_.erase(found);
    const stFrameEntry* entry = schedule_.find(attempt->fileName());
    if (entry && outcome.stored) {
        const stFrameEntry sent = *entry;
        schedule_.succeeded(sent.fileName);
        queue_.remove(sent.fileName);
        outcomes_.uploaded(sent, outcome.address, attempt->target());
    } else if (entry) {
        failAttempt(attempt->fileName(), outcome.failureText);
    }
    startDue();
}

void UploadRunner::failAttempt(const std::wstring& fileName, const std::wstring& text) {
    if (!schedule_.find(fileName))
        return;
    const bool retrying = schedule_.failed(fileName, now());
    const stFrameEntry entry = *schedule_.find(fileName);
    outcomes_.failed(entry, text, queue_.pathOf(fileName), retrying);
}

void UploadRunner::giveUpStalled() {
    std::vector<int> stalled;
    for (const auto& [id, running] : running_)
        if (now() - running.attempt->lastProgress() >= timings_.stallLimitMs)
            stalled.push_back(id);
    for (int id : stalled) {
        const auto found = running_.find(id);
        const std::shared_ptr<UploadAttempt> attempt = found->second.attempt;
        attempt->abandon();
        abandoned_.push_back(std::move(found->second.thread));
        running_.erase(found);
        const stSendTarget& target = attempt->target();
        failAttempt(
            attempt->fileName(),
            UploadFailureText::forFailure(ERROR_INTERNET_TIMEOUT,
                                          InternetException(ERROR_INTERNET_TIMEOUT).shownMessage(),
                                          target.custom, target.server));
    }
}

void UploadRunner::pruneAbandoned() {
    WorkerThread::dropEnded(abandoned_);
}

bool UploadRunner::stop(DWORD timeoutMs) noexcept {
    stopped_ = true;
    ::KillTimer(hwnd(), kScheduleTimer);
    const ULONGLONG deadline = now() + timeoutMs;
    auto waitFor = [&](const UniqueHandle& thread) {
        const ULONGLONG left = deadline > now() ? deadline - now() : 0;
        ::WaitForSingleObject(thread.get(), static_cast<DWORD>(left));
    };
    // Given up, a worker ends its waits for the server; its file stays queued for the next start.
    for (auto& [id, running] : running_)
        running.attempt->abandon();
    for (const auto& [id, running] : running_)
        waitFor(running.thread);
    for (const UniqueHandle& thread : abandoned_)
        waitFor(thread);
    bool ended = warm_->stop(deadline);
    for (const auto& [id, running] : running_)
        ended = ended && WorkerThread::ended(running.thread);
    for (const UniqueHandle& thread : abandoned_)
        ended = ended && WorkerThread::ended(thread);
    // What still runs is on its own now: it holds what it uses and reports to nobody.
    running_.clear();
    abandoned_.clear();
    return ended;
}
