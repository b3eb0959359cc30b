#include "runtime/Worker.h"

#include <future>

void RunOnWorker(const std::function<void()>& work, const std::function<void()>& tick,
                 const std::function<void()>& stop, std::chrono::milliseconds interval) {
    std::future<void> done = std::async(std::launch::async, work);
    while (done.wait_for(interval) != std::future_status::ready) {
        try {
            tick();
        } catch (...) {
            stop();
            done.wait();
            throw;
        }
    }
    done.get();
}
