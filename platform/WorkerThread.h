#pragma once

#include "platform/Handles.h"

#include <functional>
#include <vector>

// Threads for work that may wait on the network, so that the GUI thread never does.
namespace WorkerThread {

// Runs work on a thread of its own that nobody waits for; false when no thread could be had (work
// has not run then). work reports its own outcome, failures included; anything that still escapes
// it ends the thread with a beep.
bool start(std::function<void()> work);
// The same, with the thread's handle for whoever waits for its end (null when none could be had).
UniqueHandle startWaitable(std::function<void()> work);
// Whether the thread has ended (it does not wait).
bool ended(const UniqueHandle& thread) noexcept;
// Drops the handles of the threads that have ended; never waits.
void dropEnded(std::vector<UniqueHandle>& threads);

} // namespace WorkerThread
