#include "runtime/Worker.h"

#include <exception>

#include "runtime/Sync.h"

void RunOnWorker(const std::function<void()>& work, const std::function<void()>& tick,
                 const std::function<void()>& stop, std::chrono::milliseconds interval) {
    std::exception_ptr failed;
    Thread worker([&] {
        try {
            work();
        } catch (...) {
            failed = std::current_exception();
        }
    });
    const auto ms = static_cast<DWORD>(interval.count());
    while (!worker.WaitFor(ms)) {
        try {
            tick();
        } catch (...) {
            stop();
            worker.Join();
            throw;
        }
    }
    worker.Join();
    if (failed)
        std::rethrow_exception(failed);
}
