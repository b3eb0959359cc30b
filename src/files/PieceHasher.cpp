#include "files/PieceHasher.h"

PieceHasher::PieceHasher(std::size_t pieceSize) : pieceSize_(pieceSize) {
    // A platform without SHA-256 says so here, on the caller's thread, not on the worker's.
    Sha256 probe;
    for (std::size_t i = 0; i < kPieces; ++i) {
        buffers_.emplace_back(pieceSize);
        free_.push_back(buffers_.back().Data());
    }
    thread_ = Thread([this] { Work(); });
}

PieceHasher::~PieceHasher() {
    {
        LockHold hold(lock_);
        ending_ = true;
    }
    work_.WakeAll();
    thread_.Join();
}

char* PieceHasher::FreePiece() {
    LockHold hold(lock_);
    done_.Wait(hold, [this] { return !free_.empty(); });
    char* piece = free_.back();
    free_.pop_back();
    return piece;
}

void PieceHasher::Add(std::size_t item, char* piece, std::size_t bytes) { Queue({item, piece, bytes}); }

void PieceHasher::Queue(const Task& task) {
    bool wake = false;
    {
        LockHold hold(lock_);
        tasks_.push_back(task);
        wake = work_.Sleeping();
    }
    if (wake)
        work_.WakeOne();
}

void PieceHasher::End(std::size_t item) { Add(item, nullptr, 0); }

void PieceHasher::Drop(std::size_t item) { Queue({item, nullptr, 0, true}); }

void PieceHasher::Return(char* piece) {
    LockHold hold(lock_);
    free_.push_back(piece);
}

void PieceHasher::WaitAll() {
    LockHold hold(lock_);
    done_.Wait(hold, [this] { return tasks_.empty() && !busy_; });
}

std::string PieceHasher::DigestOf(std::size_t item) {
    LockHold hold(lock_);
    auto found = digests_.find(item);
    return found == digests_.end() ? std::string() : found->second;
}

void PieceHasher::Work() {
    LockHold hold(lock_);
    for (;;) {
        work_.Wait(hold, [this] { return ending_ || !tasks_.empty(); });
        if (ending_)
            return;
        Task task = tasks_.front();
        tasks_.pop_front();
        if (task.drop) {
            running_.erase(task.item);
            if (done_.Sleeping())
                done_.WakeOne();
            continue;
        }
        busy_ = true;
        Sha256& hash = running_[task.item];
        hold.Unlock();
        std::string digest;
        CopyTimeline* timeline = timeline_.load();
        const LONGLONG started = timeline ? CopyTimeline::Now() : 0;
        if (task.piece)
            hash.Add(task.piece, task.bytes);
        else
            digest = hash.HexDigest();
        if (timeline)
            timeline->hashing += CopyTimeline::Now() - started;
        hold.Relock();
        if (task.piece) {
            free_.push_back(task.piece);
        } else {
            digests_[task.item] = std::move(digest);
            running_.erase(task.item);
        }
        busy_ = false;
        if (done_.Sleeping())
            done_.WakeOne();
    }
}
