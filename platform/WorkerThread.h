#pragma once

#include <functional>

// Threads for work that may wait on the network, so that the GUI thread never does.
namespace WorkerThread {

// Runs work on a thread of its own that nobody waits for; false when no thread could be had (work
// has not run then). work reports its own outcome, failures included; anything that still escapes
// it ends the thread with a beep.
bool start(std::function<void()> work);

} // namespace WorkerThread
