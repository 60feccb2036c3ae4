#include "platform/WorkerThread.h"

#include "platform/CallbackGuard.h"
#include "platform/Handles.h"

#include <windows.h>
#include <process.h>

#include <algorithm>
#include <memory>

namespace WorkerThread {

namespace {

unsigned __stdcall threadMain(void* parameter) {
    const std::unique_ptr<std::function<void()>> work(
        static_cast<std::function<void()>*>(parameter));
    callGuarded<int>(
        [&work] {
            (*work)();
            return 0;
        },
        [](const AppException&) { ::MessageBeep(MB_ICONERROR); }, 0);
    return 0;
}

} // namespace

bool start(std::function<void()> work) {
    // Closing the handle leaves the thread running.
    return static_cast<bool>(startWaitable(std::move(work)));
}

UniqueHandle startWaitable(std::function<void()> work) {
    auto parameter = std::make_unique<std::function<void()>>(std::move(work));
    UniqueHandle thread(reinterpret_cast<HANDLE>(
        ::_beginthreadex(nullptr, 0, &threadMain, parameter.get(), 0, nullptr)));
    if (thread)
        parameter.release();
    return thread;
}

bool ended(const UniqueHandle& thread) noexcept {
    return ::WaitForSingleObject(thread.get(), 0) == WAIT_OBJECT_0;
}

void dropEnded(std::vector<UniqueHandle>& threads) {
    threads.erase(std::remove_if(threads.begin(), threads.end(), ended), threads.end());
}

} // namespace WorkerThread
