#pragma once
// Long work on a thread of its own, so that the calling thread stays free: the window
// thread goes on painting and hearing Cancel while a copy runs, and asks the work to stop.

#include <chrono>
#include <functional>

// Runs work on a new thread and calls tick on this thread about every interval until
// the work is done; an exception of the work passes to the caller. When tick throws,
// stop is called, the work is waited for to its end, and tick's exception passes.
void RunOnWorker(const std::function<void()>& work, const std::function<void()>& tick,
                 const std::function<void()>& stop,
                 std::chrono::milliseconds interval = std::chrono::milliseconds(100));
