#pragma once
// The program's own copy engine: it copies a list of folders and files, each file by a
// read/write loop of its own in the platform's long-path form, tells its caller how far
// it got after every piece, and stops when asked, also in the middle of a large file.
// Every failure keeps the platform's reason and the path it concerns. It has no window
// and may run on any thread; one copier is used by one thread at a time.
//
// The game may write a file while it is copied. Each source is opened sharing everything,
// so that the game's own save never fails, and its stamp (SourceStamp) is taken before
// its first byte is read and again after its last: a file whose stamp moved, or that was
// removed meanwhile, is torn, and is copied again after a short pause, a few times in all,
// before the copy fails with kErrorChangedWhileRead.
//
// Large files that are hashed are the one kind of copy that one thread cannot keep at the
// disk's pace: the SHA-256 is slower than the copy on a fast disk. On a machine with more
// than one core, a run of two or more of them (at least kLaneMinSize each, one after the
// other in the list) is copied at once, one file per core, each hashed on its own lane's
// thread; everything else, and everything on one core, is copied in order on the caller's
// thread. The caller hears the same: progress (from its own thread), Stop, the first
// failure (the lowest item that failed), every digest, and no partial copy left behind.
//
// A copied file gets its source's last-write time and attributes, as CopyFileW gives
// them. Copies are made durable with FlushFileBuffers before the caller relies on them
// (Flush). By default each finished file goes, still open, to a thread that flushes and
// closes it while the copy goes on (see FileFlusher): measured under Wine, that costs
// next to nothing on a RAM disk and on a disk least of the three ways here.

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/CopyTimeline.h"
#include "files/FileFlusher.h"
#include "files/FileOps.h"
#include "files/PieceHasher.h"
#include "runtime/PageBuffer.h"

struct CopyItem {
    std::wstring source;
    std::wstring destination;  // "" for a file that is only read, for its hash
    std::uint64_t size = 0;    // as listed, for the totals; the copy takes what the file holds then
    bool folder = false;       // a folder to make; one that is there already is merged into
    bool hash = false;         // the file's SHA-256 is taken in the same pass (Digest)
    // A file equal to this one (an earlier set's, on the same volume): the destination is
    // made a hard link to it, a second name for the same file, nothing written. Where no
    // link can be made (FAT, a share that refuses them, a file at its link limit), the
    // source is copied as any other file.
    std::wstring linkTo = {};
};

// What tells that a file was written: its size, its last-write time, and its change time,
// which moves as well when a writer puts the last-write time back.
struct SourceStamp {
    LONGLONG size = 0;
    LONGLONG lastWrite = 0;
    LONGLONG change = 0;

    bool operator==(const SourceStamp&) const = default;
};

// How far a copy got, counted over every call of one copier.
struct CopyProgress {
    std::size_t item = 0;          // the item being copied (or flushed)
    std::uint64_t filesDone = 0;   // files copied whole
    std::uint64_t bytesDone = 0;   // bytes written, the file being copied included
    std::uint64_t filesFlushed = 0;
    std::uint64_t filesLinked = 0;  // of filesDone, those made hard links (CopyItem::linkTo)
};

// What the caller hears; both calls come on the thread that copies.
class CopyObserver {
public:
    // After every piece of a file, after every item, after every file flushed.
    virtual void Progressed(const CopyProgress& progress) = 0;
    // Asked before every piece; true stops the copy with ERROR_CANCELLED.
    virtual bool StopRequested() = 0;

protected:
    ~CopyObserver() = default;
};

enum class FlushMode {
    Beside,    // each finished file is flushed on another thread; Flush() waits for it
    AtEnd,     // Flush() opens every copy again and flushes it (read-only ones are flushed
               // as they close: they cannot be opened for writing again)
    EachFile,  // every file is flushed before it is closed; Flush() has nothing left to do
};

// Where a file larger than one piece is hashed (a file of one piece is always hashed on
// the copy's own thread: handing it over would cost more).
enum class HashMode {
    Beside,        // on a thread of its own (PieceHasher), a bounded backlog of pieces
    OnCopyThread,  // on the copy's thread, each piece between its write and the next read
};

struct CopyOutcome {
    FileResult result;         // the first failure, with the path concerned; Ok when all are copied
    std::size_t failedItem = 0;  // the item that failed; meaningful when result is a failure
};

class FileCopier {
public:
    // One piece of a file per read and write: large enough that a big file costs few
    // calls, small enough that a request to stop is heard within milliseconds.
    static constexpr std::size_t kDefaultPiece = std::size_t{1} << 18;
    static constexpr std::uint64_t kLaneMinSize = std::uint64_t{16} << 20;

    explicit FileCopier(FlushMode flush = FlushMode::Beside, HashMode hash = HashMode::Beside,
                        std::size_t pieceSize = kDefaultPiece);

    // Benchmarks only: every piece's times go into timeline from now on (nullptr: none).
    void SetTimeline(CopyTimeline* timeline) { timeline_ = timeline; }
    // How many large files are copied at once (1: one after the other), and from what size
    // a file counts as large. By default one per core, from kLaneMinSize.
    void SetLanes(std::size_t lanes, std::uint64_t minSize = kLaneMinSize) {
        lanes_ = lanes;
        laneMinSize_ = minSize;
    }

    // Copies items[first, last) in order and stops at the first failure; the file being
    // written then is removed again, so no partial copy stands under a file's name.
    CopyOutcome Copy(const std::vector<CopyItem>& items, std::size_t first, std::size_t last,
                     CopyObserver& observer);

    // Makes every file copied so far durable (FlushFileBuffers), unless already done.
    FileResult Flush(CopyObserver& observer);

    // The SHA-256 of item's file, hashed in the copy's own pass: 64 hex digits, or ""
    // when it was not hashed (not asked for, or its copy failed). Waits for the hash.
    std::string Digest(std::size_t item);

    // Waits until no copied file is held open any more (they are flushed and closed on
    // another thread): before the copies may be removed or renamed. A failed Copy has
    // settled already.
    void Settle();

    const CopyProgress& Progress() const { return progress_; }

private:
    // The end of the run of large hashed files that starts at first; first when there is none.
    std::size_t LanesRunEnd(const std::vector<CopyItem>& items, std::size_t first, std::size_t last) const;
    CopyOutcome CopyInLanes(const std::vector<CopyItem>& items, std::size_t first, std::size_t end,
                            CopyObserver& observer);
    FileResult CopyOne(std::size_t index, const CopyItem& item, CopyObserver& observer);
    // One try at a file: its copy, or its reading alone for its hash.
    FileResult CopyOnce(std::size_t index, const CopyItem& item, CopyObserver& observer);
    FileResult ReadOnly(std::size_t index, const CopyItem& item, CopyObserver& observer);
    // Tries once, and again while the source changes under the reading, a few times in all.
    FileResult Retrying(const CopyItem& item, CopyObserver& observer, const std::function<FileResult()>& once);
    // Reads the file to its end, writing each piece to out (none: INVALID_HANDLE_VALUE) and
    // handing it to the hasher when the item is hashed; kErrorChangedWhileRead when the
    // file's stamp at its end is not `before`, the one taken before its first byte.
    FileResult CopyFileData(std::size_t index, const CopyItem& item, HANDLE in, HANDLE out, const SourceStamp& before,
                            CopyObserver& observer);
    FileResult FlushReopened(CopyObserver& observer);
    FileResult WaitForFlusher(CopyObserver& observer);

    FlushMode flush_;
    HashMode hashMode_;
    std::size_t piece_;
    PageBuffer buffer_;
    CopyTimeline* timeline_ = nullptr;
    CopyProgress progress_;
    std::vector<std::wstring> toFlush_;  // AtEnd: destinations (long form) not yet flushed
    FileFlusher flusher_;
    std::unique_ptr<PieceHasher> hasher_;       // made with the first large item to hash
    std::size_t lanes_;
    std::uint64_t laneMinSize_ = kLaneMinSize;
    std::vector<std::unique_ptr<FileCopier>> laneCopiers_;  // their copies wait for Flush
    std::uint64_t lanesFlushed_ = 0;
    std::map<std::size_t, std::string> digests_;  // those of small items, hashed here
};
