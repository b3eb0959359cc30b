#include "files/FileCopier.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <optional>

#include "files/ExistingFolder.h"
#include "runtime/Handles.h"
#include "runtime/StageHook.h"
#include "runtime/Sync.h"

namespace {

// The attributes a copy takes when it is made; read-only follows once its data is written.
constexpr DWORD kCreateAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
constexpr DWORD kKeptAttributes = kCreateAttributes | FILE_ATTRIBUTE_READONLY;

FileResult MakeFolder(const std::wstring& path) {
    if (CreateDirectoryW(path.c_str(), nullptr))
        return FileResult::Success();
    DWORD code = GetLastError();
    if (code == ERROR_ALREADY_EXISTS && IsExistingFolder(path))
        return FileResult::Success();
    return FileResult::Failure(code, path);
}

// The game may go on reading, writing, replacing or removing the source meanwhile: its own
// save must never fail because of a backup. What it changes is caught afterwards (SourceStamp).
FileHandle OpenSource(const std::wstring& path) {
    return FileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
}

bool ReadStamp(HANDLE file, SourceStamp& stamp, FILE_BASIC_INFO* basicOut = nullptr) {
    FILE_BASIC_INFO basic{};
    FILE_STANDARD_INFO standard{};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic) ||
        !GetFileInformationByHandleEx(file, FileStandardInfo, &standard, sizeof standard))
        return false;
    stamp = {standard.EndOfFile.QuadPart, basic.LastWriteTime.QuadPart, basic.ChangeTime.QuadPart};
    if (basicOut)
        *basicOut = basic;
    return true;
}

// A file read while it was written is read again, up to this many times in all, after a
// pause that grows with each try: a game writes a save in a moment, then leaves it be.
constexpr int kTries = 3;
constexpr DWORD kFirstPauseMs = 200;

// Waits before another try, hearing a request to stop within a few milliseconds; false
// when one came.
bool PauseBeforeTry(int tried, CopyObserver& observer) {
    constexpr DWORD kSliceMs = 10;
    for (DWORD left = kFirstPauseMs * static_cast<DWORD>(tried); left > 0;) {
        if (observer.StopRequested())
            return false;
        DWORD slice = left < kSliceMs ? left : kSliceMs;
        Sleep(slice);
        left -= slice;
    }
    return !observer.StopRequested();
}

// Closes the source read whole (result); a source removed meanwhile is gone once the last
// handle to it is closed, and counts as changed.
FileResult ClosedStillThere(FileResult result, FileHandle& in, const std::wstring& source) {
    in.Reset();
    if (result.Ok() && !EntryExists(source))
        return FileResult::Failure(kErrorChangedWhileRead, source);
    return result;
}

bool IsGone(DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

// Others may read a finished copy while it waits to be flushed.
HANDLE CreateCopy(const std::wstring& path, DWORD attributes) {
    return CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                       (attributes ? attributes : FILE_ATTRIBUTE_NORMAL) | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Opens the destination as a new, empty file. A file there that is read-only, or hidden
// or system where the source is not, refuses to be replaced as it stands: it is made
// plain first, since the copy replaces it anyway.
FileHandle OpenDestination(const std::wstring& path, DWORD attributes) {
    FileHandle out(CreateCopy(path, attributes));
    if (out || GetLastError() != ERROR_ACCESS_DENIED)
        return out;
    DWORD existing = GetFileAttributesW(path.c_str());
    if (existing == INVALID_FILE_ATTRIBUTES || (existing & FILE_ATTRIBUTE_DIRECTORY) ||
        !(existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM))) {
        SetLastError(ERROR_ACCESS_DENIED);
        return out;
    }
    if (!SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL))
        return out;
    return FileHandle(CreateCopy(path, attributes));
}

}  // namespace

namespace {

// What a lane's copier hears: the caller's Stop, through a flag the caller's thread sets;
// its progress, for the caller's thread to add up.
class LaneObserver final : public CopyObserver {
public:
    explicit LaneObserver(const std::atomic<bool>& stop) : stop_(stop) {}
    void Progressed(const CopyProgress& progress) override {
        bytes = progress.bytesDone;
        files = progress.filesDone;
    }
    bool StopRequested() override { return stop_.load(); }

    std::atomic<std::uint64_t> bytes{0};
    std::atomic<std::uint64_t> files{0};

private:
    const std::atomic<bool>& stop_;
};

// A lane's flush heard as the copier's own: its files flushed added to those before.
class LaneFlushObserver final : public CopyObserver {
public:
    LaneFlushObserver(CopyObserver& caller, CopyProgress& progress)
        : caller_(caller), progress_(progress), before_(progress.filesFlushed) {}
    void Progressed(const CopyProgress& lane) override {
        progress_.filesFlushed = before_ + lane.filesFlushed;
        caller_.Progressed(progress_);
    }
    bool StopRequested() override { return caller_.StopRequested(); }

private:
    CopyObserver& caller_;
    CopyProgress& progress_;
    std::uint64_t before_;
};

std::size_t Cores() {
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    return system.dwNumberOfProcessors;
}

}  // namespace

FileCopier::FileCopier(FlushMode flush, HashMode hash, std::size_t pieceSize)
    : flush_(flush),
      hashMode_(hash),
      piece_(pieceSize),
      buffer_(pieceSize),
      lanes_(hash == HashMode::Beside ? std::min<std::size_t>(Cores(), 4) : 1) {}

std::size_t FileCopier::LanesRunEnd(const std::vector<CopyItem>& items, std::size_t first, std::size_t last) const {
    std::size_t end = first;
    while (end < last && end < items.size() && items[end].hash && !items[end].folder &&
           !items[end].destination.empty() && items[end].linkTo.empty() && items[end].size >= laneMinSize_)
        ++end;
    return lanes_ > 1 && end - first >= 2 ? end : first;
}

CopyOutcome FileCopier::Copy(const std::vector<CopyItem>& items, std::size_t first, std::size_t last,
                             CopyObserver& observer) {
    for (std::size_t i = first; i < last && i < items.size(); ++i) {
        progress_.item = i;
        if (std::size_t end = LanesRunEnd(items, i, last); end > i) {
            CopyOutcome outcome = CopyInLanes(items, i, end, observer);
            if (!outcome.result.Ok()) {
                Settle();
                return outcome;
            }
            i = end - 1;
            continue;
        }
        FileResult result = CopyOne(i, items[i], observer);
        if (!result.Ok()) {
            // What a failed copy leaves is about to be removed: nothing stays held open.
            Settle();
            return {result, i};
        }
        observer.Progressed(progress_);
    }
    return {FileResult::Success(), last};
}

CopyOutcome FileCopier::CopyInLanes(const std::vector<CopyItem>& items, std::size_t first, std::size_t end,
                                    CopyObserver& observer) {
    struct Lane {
        std::unique_ptr<FileCopier> copier;
        std::unique_ptr<LaneObserver> heard;
        CopyOutcome failed{FileResult::Success(), 0};
        std::vector<std::size_t> done;
        std::exception_ptr thrown;  // passed on from the caller's thread, as in order
        Thread thread;
    };
    std::atomic<bool> stop{false};
    std::atomic<std::size_t> next{first};
    std::vector<Lane> lanes(std::min(lanes_, end - first));
    for (Lane& lane : lanes) {
        // Each lane hashes on its own thread: the lanes are the cores.
        lane.copier = std::make_unique<FileCopier>(flush_, HashMode::OnCopyThread, piece_);
        lane.copier->SetLanes(1);
        lane.heard = std::make_unique<LaneObserver>(stop);
    }
    for (Lane& lane : lanes) {
        lane.thread = Thread([&, at = &lane] {
            try {
                for (;;) {
                    const std::size_t i = next.fetch_add(1);
                    if (i >= end || stop.load())
                        return;
                    CopyOutcome outcome = at->copier->Copy(items, i, i + 1, *at->heard);
                    if (!outcome.result.Ok()) {
                        at->failed = outcome;
                        stop = true;
                        return;
                    }
                    at->done.push_back(i);
                }
            } catch (...) {
                at->thrown = std::current_exception();
                stop = true;
            }
        });
    }
    const std::uint64_t bytesBefore = progress_.bytesDone, filesBefore = progress_.filesDone;
    auto report = [&] {
        std::uint64_t bytes = 0, files = 0;
        for (const Lane& lane : lanes) {
            bytes += lane.heard->bytes;
            files += lane.heard->files;
        }
        progress_.bytesDone = bytesBefore + bytes;
        progress_.filesDone = filesBefore + files;
        progress_.item = std::min(next.load(), end - 1);
        observer.Progressed(progress_);
    };
    for (Lane& lane : lanes) {
        while (!lane.thread.WaitFor(20)) {
            if (observer.StopRequested())
                stop = true;
            report();
        }
    }
    report();
    for (Lane& lane : lanes) {
        for (std::size_t i : lane.done)
            digests_[i] = lane.copier->Digest(i);
    }
    for (Lane& lane : lanes)
        laneCopiers_.push_back(std::move(lane.copier));
    for (const Lane& lane : lanes) {
        if (lane.thrown)
            std::rethrow_exception(lane.thrown);
    }
    // The first failure in the list's order; one lane's failure stops the others, whose
    // stop is not the reason.
    CopyOutcome failure{FileResult::Success(), end};
    for (bool stopsCount : {false, true}) {
        for (const Lane& lane : lanes) {
            const bool stopped = lane.failed.result.error == ERROR_CANCELLED;
            if (!lane.failed.result.Ok() && (stopsCount || !stopped) && lane.failed.failedItem < failure.failedItem)
                failure = lane.failed;
        }
        if (!failure.result.Ok())
            break;
    }
    return failure;
}

FileResult FileCopier::ReadOnly(std::size_t index, const CopyItem& item, CopyObserver& observer) {
    FileHandle in = OpenSource(item.source);
    SourceStamp before;
    if (!in || !ReadStamp(in.Get(), before))
        return FileResult::Failure(GetLastError(), item.source);
    FileResult result = ClosedStillThere(CopyFileData(index, item, in.Get(), INVALID_HANDLE_VALUE, before, observer),
                                         in, item.source);
    if (result.Ok())
        ++progress_.filesDone;
    return result;
}

FileResult FileCopier::Retrying(const CopyItem& item, CopyObserver& observer, const std::function<FileResult()>& once) {
    for (int tried = 1;; ++tried) {
        std::uint64_t bytesBefore = progress_.bytesDone;
        FileResult result = once();
        // A file that was there for an earlier try and is gone now was removed while it
        // was read: it changed, as far as the copy can tell.
        if (tried > 1 && IsGone(result.error) && result.path == item.source)
            return FileResult::Failure(kErrorChangedWhileRead, item.source);
        if (result.error != kErrorChangedWhileRead)
            return result;
        // What the torn try read is counted again by the next.
        progress_.bytesDone = bytesBefore;
        observer.Progressed(progress_);
        if (tried == kTries)
            return result;
        if (!PauseBeforeTry(tried, observer))
            return FileResult::Failure(ERROR_CANCELLED, item.source);
    }
}

FileResult FileCopier::CopyOne(std::size_t index, const CopyItem& item, CopyObserver& observer) {
    if (observer.StopRequested())
        return FileResult::Failure(ERROR_CANCELLED, item.source);
    if (item.folder)
        return MakeFolder(item.destination);
    if (item.destination.empty())
        return Retrying(item, observer, [&] { return ReadOnly(index, item, observer); });
    if (!item.linkTo.empty() && CreateHardLinkW(item.destination.c_str(), item.linkTo.c_str(), nullptr)) {
        ++progress_.filesDone;
        ++progress_.filesLinked;
        progress_.bytesDone += item.size;
        observer.Progressed(progress_);
        return FileResult::Success();
    }
    return Retrying(item, observer, [&] { return CopyOnce(index, item, observer); });
}

FileResult FileCopier::CopyOnce(std::size_t index, const CopyItem& item, CopyObserver& observer) {
    FileHandle in = OpenSource(item.source);
    FILE_BASIC_INFO basic{};
    SourceStamp before;
    if (!in || !ReadStamp(in.Get(), before, &basic))
        return FileResult::Failure(GetLastError(), item.source);
    FileHandle out = OpenDestination(item.destination, basic.FileAttributes & kCreateAttributes);
    if (!out)
        return FileResult::Failure(GetLastError(), item.destination);

    FileResult result = ClosedStillThere(CopyFileData(index, item, in.Get(), out.Get(), before, observer), in, item.source);
    bool readOnly = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    // A read-only copy cannot be opened for writing again to be flushed later.
    bool flushNow = flush_ == FlushMode::EachFile || (flush_ == FlushMode::AtEnd && readOnly);
    if (result.Ok() && flushNow && !FlushFileBuffers(out.Get()))
        result = FileResult::Failure(GetLastError(), item.destination);
    if (result.Ok()) {
        // Only the last-write time and the attributes; zero leaves a field as it is.
        FILE_BASIC_INFO kept{};
        kept.LastWriteTime = basic.LastWriteTime;
        kept.FileAttributes = basic.FileAttributes & kKeptAttributes;
        if (!SetFileInformationByHandle(out.Get(), FileBasicInfo, &kept, sizeof kept))
            result = FileResult::Failure(GetLastError(), item.destination);
    }
    if (!result.Ok()) {
        // No partial copy stays under the file's name.
        out.Reset();
        DeleteFileW(item.destination.c_str());
        return result;
    }
    ++progress_.filesDone;
    if (flush_ == FlushMode::Beside)
        flusher_.Hand(out.Release(), item.destination);
    else if (!flushNow)
        toFlush_.push_back(item.destination);
    return result;
}

FileResult FileCopier::CopyFileData(std::size_t index, const CopyItem& item, HANDLE in, HANDLE out,
                                    const SourceStamp& before, CopyObserver& observer) {
    // A file of one piece is hashed here, on the copy's thread: handing it to the hasher
    // would cost more than hashing it. Larger files are hashed beside the copy.
    std::optional<Sha256> here;
    if (item.hash && (item.size <= piece_ || hashMode_ == HashMode::OnCopyThread))
        here.emplace();
    if (item.hash && !here && !hasher_)
        hasher_ = std::make_unique<PieceHasher>(piece_);
    if (hasher_)
        hasher_->SetTimeline(timeline_);
    PieceHasher* hasher = item.hash && !here ? hasher_.get() : nullptr;
    for (;;) {
        if (observer.StopRequested())
            return FileResult::Failure(ERROR_CANCELLED, item.source);
        PieceTimes times{index};
        LONGLONG mark = timeline_ ? CopyTimeline::Now() : 0;
        // The time since mark goes to field, and mark moves on (only while timed).
        auto lap = [&](LONGLONG PieceTimes::*field) {
            if (!timeline_)
                return;
            LONGLONG now = CopyTimeline::Now();
            times.*field += now - mark;
            mark = now;
        };
        char* piece = hasher ? hasher->FreePiece() : buffer_.Data();
        lap(&PieceTimes::wait);
        auto giveBack = [&] {
            if (hasher)
                hasher->Return(piece);
        };
        DWORD got = 0;
        const BOOL read = ReadFile(in, piece, static_cast<DWORD>(piece_), &got, nullptr);
        lap(&PieceTimes::read);
        if (!read) {
            DWORD error = GetLastError();
            giveBack();
            return FileResult::Failure(error, item.source);
        }
        if (got == 0) {
            giveBack();
            // Read whole, and still as it was when its first byte was read: else the copy
            // may hold part of one version and part of the next.
            SourceStamp after;
            if (!ReadStamp(in, after))
                return FileResult::Failure(GetLastError(), item.source);
            if (after != before) {
                if (hasher)
                    hasher->Drop(index);
                return FileResult::Failure(kErrorChangedWhileRead, item.source);
            }
            if (hasher)
                hasher->End(index);
            if (here)
                digests_[index] = here->HexDigest();
            return FileResult::Success();
        }
        DWORD put = got;
        const BOOL written = out == INVALID_HANDLE_VALUE || WriteFile(out, piece, got, &put, nullptr);
        lap(&PieceTimes::write);
        if (!written) {
            DWORD error = GetLastError();
            giveBack();
            return FileResult::Failure(error, item.destination);
        }
        // A write that takes less than it was given has run out of room.
        if (put != got) {
            giveBack();
            return FileResult::Failure(ERROR_DISK_FULL, item.destination);
        }
        if (hasher)
            hasher->Add(index, piece, got);
        if (here)
            here->Add(piece, got);
        lap(&PieceTimes::handoff);
        if (timeline_)
            timeline_->Add(times);
        progress_.bytesDone += got;
        observer.Progressed(progress_);
        PassStage("piece copied");
    }
}

std::string FileCopier::Digest(std::size_t item) {
    if (auto found = digests_.find(item); found != digests_.end())
        return found->second;
    if (!hasher_)
        return {};
    hasher_->WaitAll();
    return hasher_->DigestOf(item);
}

void FileCopier::Settle() {
    for (auto& lane : laneCopiers_)
        lane->Settle();
    while (!flusher_.WaitAll(INFINITE)) {
    }
}

FileResult FileCopier::Flush(CopyObserver& observer) {
    // The lanes' copies first: they came before what follows them in the list.
    progress_.filesFlushed = 0;
    for (auto& lane : laneCopiers_) {
        LaneFlushObserver heard(observer, progress_);
        if (FileResult flushed = lane->Flush(heard); !flushed.Ok())
            return flushed;
    }
    lanesFlushed_ = progress_.filesFlushed;
    return flush_ == FlushMode::Beside ? WaitForFlusher(observer) : FlushReopened(observer);
}

FileResult FileCopier::WaitForFlusher(CopyObserver& observer) {
    constexpr DWORD kReportMs = 50;
    for (bool all = false; !all;) {
        if (observer.StopRequested())
            return FileResult::Failure(ERROR_CANCELLED, std::wstring());
        all = flusher_.WaitAll(kReportMs);
        progress_.filesFlushed = lanesFlushed_ + flusher_.Flushed();
        observer.Progressed(progress_);
    }
    return flusher_.FirstFailure();
}

FileResult FileCopier::FlushReopened(CopyObserver& observer) {
    std::size_t done = 0;
    FileResult result = FileResult::Success();
    for (; done < toFlush_.size(); ++done) {
        const std::wstring& path = toFlush_[done];
        if (observer.StopRequested()) {
            result = FileResult::Failure(ERROR_CANCELLED, path);
            break;
        }
        FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file || !FlushFileBuffers(file.Get())) {
            result = FileResult::Failure(GetLastError(), path);
            break;
        }
        ++progress_.filesFlushed;
        observer.Progressed(progress_);
    }
    toFlush_.erase(toFlush_.begin(), toFlush_.begin() + static_cast<std::ptrdiff_t>(done));
    return result;
}
