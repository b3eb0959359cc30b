#include "files/FileFlusher.h"

FileFlusher::~FileFlusher() {
    {
        LockHold hold(lock_);
        ending_ = true;
    }
    work_.WakeAll();
    thread_.Join();
    for (const Waiting& w : waiting_)
        CloseHandle(w.file);
}

void FileFlusher::Hand(HANDLE file, std::wstring path) {
    bool wake = false;
    {
        LockHold hold(lock_);
        if (!thread_.Running())
            thread_ = Thread([this] { Work(); });
        copierSleeps_ = true;
        room_.Wait(hold, [this] { return waiting_.size() < kMaxWaiting; });
        copierSleeps_ = false;
        waiting_.push_back({file, std::move(path)});
        wake = flusherSleeps_;
    }
    if (wake)
        work_.WakeOne();
}

bool FileFlusher::WaitAll(DWORD timeoutMs) {
    LockHold hold(lock_);
    copierSleeps_ = true;
    bool all = timeoutMs == INFINITE ? (room_.Wait(hold, [this] { return waiting_.empty() && !busy_; }), true)
                                     : room_.WaitFor(hold, timeoutMs, [this] { return waiting_.empty() && !busy_; });
    copierSleeps_ = false;
    return all;
}

FileResult FileFlusher::FirstFailure() {
    LockHold hold(lock_);
    return failure_;
}

void FileFlusher::Work() {
    LockHold hold(lock_);
    for (;;) {
        flusherSleeps_ = true;
        work_.Wait(hold, [this] { return ending_ || !waiting_.empty(); });
        flusherSleeps_ = false;
        if (ending_)
            return;
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        if (copierSleeps_)
            room_.WakeOne();
        hold.Unlock();
        bool flushed = FlushFileBuffers(next.file) != FALSE;
        DWORD error = flushed ? ERROR_SUCCESS : GetLastError();
        CloseHandle(next.file);
        hold.Relock();
        busy_ = false;
        if (flushed)
            ++flushed_;
        else if (failure_.Ok())
            failure_ = FileResult::Failure(error, next.path);
        if (copierSleeps_)
            room_.WakeOne();
    }
}
