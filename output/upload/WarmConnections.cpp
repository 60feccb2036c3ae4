#include "output/upload/WarmConnections.h"

#include "platform/WorkerThread.h"

#include <chrono>

WarmConnections::WarmConnections() : shared_(std::make_shared<Shared>()) {}

void WarmConnections::close(std::optional<Held> held) noexcept {
    if (!held)
        return;
    held->connection.close();
    held->session->close();
}

std::optional<WarmConnections::Held> WarmConnections::take(const stSendTarget& target,
                                                           DWORD waitMs) {
    std::optional<Held> taken;
    std::optional<Held> stale;
    {
        std::unique_lock<std::mutex> guard(shared_->lock);
        shared_->changed.wait_for(guard, std::chrono::milliseconds(waitMs), [&] {
            return !shared_->loggingIn ||
                   !WarmConnectionRule::sameTarget(*shared_->loggingIn, target);
        });
        if (!shared_->idle)
            return std::nullopt;
        if (shared_->rule.fits(target, ::GetTickCount64()))
            taken = std::move(shared_->idle);
        else
            stale = std::move(shared_->idle);
        shared_->idle.reset();
        shared_->idlePrepared = false;
        shared_->rule.forget();
    }
    close(std::move(stale));
    return taken;
}

void WarmConnections::keep(const stSendTarget& target, Held held) {
    std::optional<Held> replaced;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        if (shared_->stopped) {
            replaced = std::move(held);
        } else {
            replaced = std::move(shared_->idle);
            shared_->idle = std::move(held);
            shared_->idlePrepared = false;
            shared_->rule.kept(target, ::GetTickCount64());
        }
    }
    close(std::move(replaced));
}

void WarmConnections::prepare(const stSendTarget& target, bool passive, DWORD timeoutMs) {
    pruneThreads();
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        if (shared_->stopped || shared_->loggingIn ||
            shared_->rule.fits(target, ::GetTickCount64()))
            return;
        shared_->loggingIn = target;
        shared_->loginWanted = true;
    }
    auto login = [shared = shared_, target, passive, timeoutMs] {
        std::optional<Held> made;
        try {
            auto session = std::make_shared<InternetSession>(L"Pixlance", 1, timeoutMs);
            FtpConnection connection = session->connectFtp(target.server, target.username,
                                                           target.password, target.port, passive);
            made = Held{std::move(session), std::move(connection), passive};
        } catch (...) {
            // The upload connects on its own and reports what fails then.
        }
        std::optional<Held> unwanted;
        {
            std::lock_guard<std::mutex> guard(shared->lock);
            if (made && shared->loginWanted && !shared->stopped) {
                unwanted = std::move(shared->idle);
                shared->idle = std::move(made);
                shared->idlePrepared = true;
                shared->rule.kept(target, ::GetTickCount64());
            } else {
                unwanted = std::move(made);
            }
            shared->loggingIn.reset();
        }
        shared->changed.notify_all();
        close(std::move(unwanted));
    };
    UniqueHandle thread = WorkerThread::startWaitable(login);
    if (thread) {
        threads_.push_back(std::move(thread));
    } else {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->loggingIn.reset();
    }
}

void WarmConnections::unprepare() {
    std::optional<Held> unused;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->loginWanted = false;
        if (shared_->idlePrepared) {
            unused = std::move(shared_->idle);
            shared_->idle.reset();
            shared_->idlePrepared = false;
            shared_->rule.forget();
        }
    }
    closeAside(std::move(unused));
}

std::optional<ULONGLONG> WarmConnections::tidy(const std::optional<stSendTarget>& target) {
    pruneThreads();
    std::optional<Held> closing;
    std::optional<ULONGLONG> expiry;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        if (shared_->rule.toClose(target, ::GetTickCount64())) {
            closing = std::move(shared_->idle);
            shared_->idle.reset();
            shared_->idlePrepared = false;
            shared_->rule.forget();
        }
        // A login under way for a target no longer selected is of no use either.
        if (shared_->loggingIn &&
            (!target || !WarmConnectionRule::sameTarget(*shared_->loggingIn, *target)))
            shared_->loginWanted = false;
        expiry = shared_->rule.expiresAt();
        // What the login under way makes is kept from its end: looked at again later.
        if (!expiry && shared_->loggingIn && shared_->loginWanted)
            expiry = ::GetTickCount64() + WarmConnectionRule::kKeepMs;
    }
    closeAside(std::move(closing));
    return expiry;
}

void WarmConnections::closeAside(std::optional<Held> held) {
    if (!held)
        return;
    auto shared = std::make_shared<std::optional<Held>>(std::move(held));
    UniqueHandle thread = WorkerThread::startWaitable([shared] { close(std::move(*shared)); });
    // Without a thread the connection stays open until the program ends.
    if (thread)
        threads_.push_back(std::move(thread));
}

void WarmConnections::pruneThreads() {
    WorkerThread::dropEnded(threads_);
}

bool WarmConnections::stop(ULONGLONG deadline) noexcept {
    std::optional<Held> idle;
    {
        std::lock_guard<std::mutex> guard(shared_->lock);
        shared_->stopped = true;
        shared_->loginWanted = false;
        idle = std::move(shared_->idle);
        shared_->idle.reset();
        shared_->rule.forget();
    }
    try {
        closeAside(std::move(idle));
    } catch (...) {
        // Left open: the process ends soon.
    }
    bool ended = true;
    for (const UniqueHandle& thread : threads_) {
        const ULONGLONG now = ::GetTickCount64();
        const DWORD left = static_cast<DWORD>(deadline > now ? deadline - now : 0);
        ended = ::WaitForSingleObject(thread.get(), left) == WAIT_OBJECT_0 && ended;
    }
    threads_.clear();
    return ended;
}
