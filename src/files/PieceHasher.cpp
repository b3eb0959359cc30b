#include "files/PieceHasher.h"

PieceHasher::PieceHasher(std::size_t pieceSize) : pieceSize_(pieceSize) {
    // A platform without SHA-256 says so here, on the caller's thread, not on the worker's.
    Sha256 probe;
    for (std::size_t i = 0; i < kPieces; ++i) {
        buffers_.emplace_back(pieceSize);
        free_.push_back(buffers_.back().data());
    }
    thread_ = std::thread([this] { Work(); });
}

PieceHasher::~PieceHasher() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ending_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

char* PieceHasher::FreePiece() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty(); });
    char* piece = free_.back();
    free_.pop_back();
    return piece;
}

void PieceHasher::Add(std::size_t item, char* piece, std::size_t bytes) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        tasks_.push_back({item, piece, bytes});
    }
    changed_.notify_all();
}

void PieceHasher::End(std::size_t item) { Add(item, nullptr, 0); }

void PieceHasher::Return(char* piece) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        free_.push_back(piece);
    }
    changed_.notify_all();
}

void PieceHasher::WaitAll() {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return tasks_.empty() && !busy_; });
}

std::string PieceHasher::DigestOf(std::size_t item) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = digests_.find(item);
    return found == digests_.end() ? std::string() : found->second;
}

void PieceHasher::Work() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
        if (ending_)
            return;
        Task task = tasks_.front();
        tasks_.pop_front();
        busy_ = true;
        Sha256& hash = running_[task.item];
        lock.unlock();
        std::string digest;
        if (task.piece)
            hash.Add(task.piece, task.bytes);
        else
            digest = hash.HexDigest();
        lock.lock();
        if (task.piece) {
            free_.push_back(task.piece);
        } else {
            digests_[task.item] = std::move(digest);
            running_.erase(task.item);
        }
        busy_ = false;
        changed_.notify_all();
    }
}
