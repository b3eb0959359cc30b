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
        room_.Wait(hold, [this] { return waiting_.size() < kMaxWaiting; });
        waiting_.push_back({file, std::move(path)});
        wake = work_.Sleeping();
    }
    if (wake)
        work_.WakeOne();
}

bool FileFlusher::WaitAll(DWORD timeoutMs) {
    LockHold hold(lock_);
    return room_.WaitFor(hold, timeoutMs, [this] { return waiting_.empty() && !busy_; });
}

FileResult FileFlusher::FirstFailure() {
    LockHold hold(lock_);
    return failure_;
}

void FileFlusher::Work() {
    LockHold hold(lock_);
    for (;;) {
        work_.Wait(hold, [this] { return ending_ || !waiting_.empty(); });
        if (ending_)
            return;
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        if (room_.Sleeping())
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
        if (room_.Sleeping())
            room_.WakeOne();
    }
}
