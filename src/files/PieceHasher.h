#pragma once
// Hashes files piece by piece on a thread of its own, so that the copy goes on reading
// and writing the next piece meanwhile: the source is read once, for the copy and for
// its SHA-256 alike. The pieces are buffers of this object's; a caller takes a free one,
// reads into it, writes it where it goes, and hands it over; it is free again once
// hashed. With all of them waiting, the caller waits for the hash. Each side wakes the
// other only when it sleeps: a piece handed over to a hasher at work, or freed while the
// copy reads on, costs no call into the system.

#include <atomic>
#include <cstddef>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "files/CopyTimeline.h"
#include "files/Sha256.h"
#include "runtime/PageBuffer.h"
#include "runtime/Sync.h"

class PieceHasher {
public:
    static constexpr std::size_t kPieces = 8;

    explicit PieceHasher(std::size_t pieceSize);
    ~PieceHasher();
    PieceHasher(const PieceHasher&) = delete;
    PieceHasher& operator=(const PieceHasher&) = delete;

    std::size_t PieceSize() const { return pieceSize_; }
    // Benchmarks only: the time spent hashing is added to the timeline's.
    void SetTimeline(CopyTimeline* timeline) { timeline_ = timeline; }
    // A buffer of PieceSize() bytes to read the next piece into.
    char* FreePiece();
    // The piece holds the next `bytes` bytes of file `item`.
    void Add(std::size_t item, char* piece, std::size_t bytes);
    // File `item` ends here (an empty file is one End alone).
    void End(std::size_t item);
    // Gives a piece back unhashed (the copy failed before it was handed over).
    void Return(char* piece);
    // Forgets what was handed over of file `item`: it is hashed afresh from its start (the
    // file changed while it was read, and is read again).
    void Drop(std::size_t item);
    // Waits until everything handed over is hashed.
    void WaitAll();
    // The SHA-256 of the file, once WaitAll returned after its End; "" otherwise.
    std::string DigestOf(std::size_t item);

private:
    struct Task {
        std::size_t item;
        char* piece;  // nullptr: the file's end, or (drop) what it had is forgotten
        std::size_t bytes;
        bool drop = false;
    };
    void Queue(const Task& task);
    void Work();

    std::size_t pieceSize_;
    std::vector<PageBuffer> buffers_;
    std::atomic<CopyTimeline*> timeline_{nullptr};
    Lock lock_;
    Condition work_;  // the hasher waits here for a task
    Condition done_;  // the caller waits here for a free piece, or for all to be hashed
    std::vector<char*> free_;
    std::deque<Task> tasks_;
    bool busy_ = false;
    bool ending_ = false;
    std::map<std::size_t, Sha256> running_;
    std::map<std::size_t, std::string> digests_;
    Thread thread_;
};
