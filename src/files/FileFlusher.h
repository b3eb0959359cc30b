#pragma once
// Makes written files durable on a thread of its own: the copier hands over each file it
// has finished, still open, and goes on with the next, while this thread flushes it to
// the disk (FlushFileBuffers) and closes it. On a disk the flushes then overlap with the
// copying; handing over the open file spares opening it again. At most kMaxWaiting files
// wait at once: a copier faster than the disk waits for it. Each side wakes the other only
// when it sleeps.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <string>

#include "files/FileOps.h"
#include "runtime/Sync.h"

class FileFlusher {
public:
    FileFlusher() = default;
    // Closes what still waits, unflushed: a copy given up is not relied on.
    ~FileFlusher();
    FileFlusher(const FileFlusher&) = delete;
    FileFlusher& operator=(const FileFlusher&) = delete;

    // Takes over the open file (it closes it); path is for a failure's report.
    void Hand(HANDLE file, std::wstring path);
    // Waits until every file handed over is flushed and closed, up to timeoutMs; true
    // when none waits any more.
    bool WaitAll(DWORD timeoutMs);
    // The first flush that failed, with its file; Ok when none did.
    FileResult FirstFailure();
    std::uint64_t Flushed() const { return flushed_; }

    static constexpr std::size_t kMaxWaiting = 64;

private:
    struct Waiting {
        HANDLE file;
        std::wstring path;
    };
    void Work();

    Lock lock_;
    Condition work_;  // the flushing thread waits here for a file
    Condition room_;  // the copier waits here for room, or for every file to be done
    std::deque<Waiting> waiting_;
    bool busy_ = false;  // the thread holds a file it is flushing
    bool ending_ = false;
    FileResult failure_;
    std::atomic<std::uint64_t> flushed_{0};
    Thread thread_;
};
