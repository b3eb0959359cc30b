#include "files/FileFlusher.h"

#include <chrono>

FileFlusher::~FileFlusher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
    for (const Waiting& w : waiting_)
        CloseHandle(w.file);
}

void FileFlusher::Hand(HANDLE file, std::wstring path) {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!thread_.joinable())
        thread_ = std::thread([this] { Work(); });
    changed_.wait(lock, [this] { return waiting_.size() < kMaxWaiting; });
    waiting_.push_back({file, std::move(path)});
    lock.unlock();
    changed_.notify_all();
}

bool FileFlusher::WaitAll(DWORD timeoutMs) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [this] { return waiting_.empty() && !busy_; });
}

FileResult FileFlusher::FirstFailure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

void FileFlusher::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !waiting_.empty(); });
        if (ending_)
            return;
        Waiting next = std::move(waiting_.front());
        waiting_.pop_front();
        busy_ = true;
        lock.unlock();
        changed_.notify_all();
        bool flushed = FlushFileBuffers(next.file) != FALSE;
        DWORD error = flushed ? ERROR_SUCCESS : GetLastError();
        CloseHandle(next.file);
        lock.lock();
        busy_ = false;
        if (flushed)
            ++flushed_;
        else if (failure_.Ok())
            failure_ = FileResult::Failure(error, next.path);
        changed_.notify_all();
    }
}
