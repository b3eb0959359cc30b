// Benchmark of the jobs' own copy engine, not a test: a first backup (BackupJob into an
// empty set folder) and a whole restore (RestoreJob over a game folder holding another
// version of every file), each beside a plain CreateDirectoryW/CopyFileW loop over the
// same tree, taking turns at going first. The job's figure holds everything it does:
// the journal's durable writes, the listing, the copy on its worker thread with progress
// reported to its events ten times a second, the flush of every copy, the marker (the
// backup) or the safety set and its marker (the restore). Each result is checked byte for
// byte, untimed. Each job's floor is the slower of the loop and one thread's SHA-256 of the
// same bytes (a fresh hash per file), since the job both copies and hashes everything.
//
//   bench_jobcopy run <scratch folder> small|large <rounds>
//       small: 4000 files of 4 KiB in 40 folders; large: 4 files of 500 MiB
//   bench_jobcopy changes <scratch folder> small|large <rounds>
//       a first backup, then a second with nothing changed, (large) one with one of the
//       four files changed, and a restore over data equal to the set, each beside the first
//   bench_jobcopy hash <scratch folder> <rounds>
//       the copy engine on the large files with and without the SHA-256 in the same pass
//   bench_jobcopy pieces <scratch folder> <rounds>
//       the copy engine with the hash beside it on the large files, with pieces of 256 KiB,
//       1, 2 and 4 MiB, taking turns; then where one copy's time goes, piece by piece
//   bench_jobcopy lanes <scratch folder> <rounds>
//       the large files copied one after the other and at once, one a core, taking turns
//   bench_jobcopy manifest <scratch folder> <rounds>
//       a set's manifest written afresh over the small files, beside its parts
//   bench_jobcopy handoff <rounds>
//       a round trip between two threads with std::mutex and std::condition_variable
//       (mingw's winpthreads: semaphores, a wineserver call each under Wine) beside the
//       program's own kit (runtime/Sync.h: SRWLOCK and CONDITION_VARIABLE)
//   bench_jobcopy flush <scratch folder> <rounds>
//       the copy engine alone on the small tree with each way of flushing (on a thread
//       beside the copy, all at the end, each file before it closes); run it on a disk,
//       where a flush costs what it costs
//
// <scratch>\game, \set, \restored: the game data, the set, the game folder restored into.

#include <windows.h>

#include <algorithm>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>

#include "BenchGameData.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/SafetySets.h"
#include "engine/sets/SetVerify.h"
#include "files/FileCopier.h"
#include "files/Sha256.h"
#include "runtime/Sync.h"

namespace {

using namespace bench;

std::wstring Game(const std::wstring& scratch) { return scratch + L"\\game"; }
std::wstring Set(const std::wstring& scratch) { return scratch + L"\\set"; }
std::wstring Restored(const std::wstring& scratch) { return scratch + L"\\restored"; }
std::wstring Journal(const std::wstring& scratch) { return scratch + L"\\journal\\job journal.txt"; }

// The job's caller: takes every progress report as a window would, and counts them.
class CountingEvents final : public JobEvents {
public:
    void Checkpoint() override {}
    void YieldPoint() override {}
    void Progress(const JobProgress& progress) override {
        last = progress;
        ++reports;
    }
    void FoldersCopied(const JobReport&) override {}
    void Finished(const JobReport&) override {}
    JobProgress last;
    long reports = 0;
};

TreeSize MakeShape(const std::wstring& root, bool large) {
    TreeSize size;
    MakeFolder(root, size);
    for (const wchar_t* name : game::FolderNames)
        MakeFolder(root + L"\\" + name, size);
    if (large) {
        for (std::uint32_t i = 1; i <= 4; ++i)
            WriteFileOf(root + L"\\maps\\world " + std::to_wstring(i) + L".map", std::size_t{500} << 20, i * 7919,
                        size);
    } else {
        const wchar_t* folders[] = {L"saves", L"maps", L"scores"};
        for (int f = 0; f < 40; ++f) {
            std::wstring folder = root + L"\\" + folders[f % 3] + L"\\group " + std::to_wstring(f);
            MakeFolder(folder, size);
            for (int i = 0; i < 100; ++i)
                WriteFileOf(folder + L"\\file " + std::to_wstring(i) + L".dat", 4096,
                            static_cast<std::uint32_t>(f * 100 + i), size);
        }
    }
    WriteFileOf(root + L"\\" + game::ConfigName, 64, 7, size);
    return size;
}

extern const FILETIME kAnotherDay;
void SetTimesOfTree(const std::wstring& root, const FILETIME& time);

// The game folder a restore replaces: every file there in another version.
void MakeCurrentGameData(const std::wstring& scratch) {
    MakeEmptyFolder(Restored(scratch));
    TreeSize ignored;
    std::uint32_t seed = 77;
    for (const wchar_t* name : game::FolderNames) {
        for (const std::wstring& rel : FilesBelow(Game(scratch) + L"\\" + name)) {
            std::wstring path = Restored(scratch) + L"\\" + name + L"\\" + rel;
            Expect(MakeFolderPath(path.substr(0, path.find_last_of(L'\\'))).Ok(), L"cannot make " + path);
            WriteFileOf(path, 4096, ++seed, ignored);
        }
    }
    WriteFileOf(Restored(scratch) + L"\\" + game::ConfigName, 32, ++seed, ignored);
    // Another day's data, whatever the clock says now: the quick check sees every file differ.
    SetTimesOfTree(Restored(scratch), kAnotherDay);
}

extern const FILETIME kAnotherDay = {0x2d74c000u, 0x01c07385u};  // 2001-01-01

void SetTimesOfTree(const std::wstring& root, const FILETIME& time) {
    for (const DirEntry& entry : DirSearch::Everything(LongPath(root))) {
        std::wstring path = root + L"\\" + entry.name;
        if (entry.IsFolder()) {
            SetTimesOfTree(path, time);
            continue;
        }
        FileHandle file(CreateFileW(LongPath(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        Expect(file && SetFileTime(file.Get(), nullptr, nullptr, &time), L"cannot set the time of " + path);
    }
}

double TimeLoop(const std::wstring& from, const std::wstring& to) {
    MakeEmptyFolder(to);
    const double start = NowMs();
    CopyGameDataLoop(from, to);
    const double elapsed = NowMs() - start;
    ExpectGameDataCopied(from, to);
    return elapsed;
}

// One thread's SHA-256 of every file's bytes below root, a fresh hash per file, from
// memory: the other floor of a job that hashes all it copies.
double TimeHash(const std::wstring& root) {
    static std::vector<char> bytes(std::size_t{4} << 20, 'h');
    std::vector<std::uint64_t> sizes;
    std::function<void(const std::wstring&)> walk = [&](const std::wstring& folder) {
        for (const DirEntry& entry : DirSearch::Everything(LongPath(folder))) {
            if (entry.IsFolder())
                walk(folder + L"\\" + entry.name);
            else
                sizes.push_back(entry.size);
        }
    };
    walk(root);
    const double start = NowMs();
    for (std::uint64_t size : sizes) {
        Sha256 sha;
        for (std::uint64_t left = size; left > 0;) {
            std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, bytes.size()));
            sha.Add(bytes.data(), piece);
            left -= piece;
        }
        Expect(sha.HexDigest().size() == 64, L"digest");
    }
    return NowMs() - start;
}

double TimeBackup(const std::wstring& scratch, long& reports) {
    MakeEmptyFolder(Set(scratch));
    CountingEvents events;
    const double start = NowMs();
    JobReport report = BackupJob(Game(scratch), Set(scratch), L"", Journal(scratch)).Run(events);
    const double elapsed = NowMs() - start;
    Expect(report.Whole() && !report.marker.empty(), L"the backup is not whole");
    for (const wchar_t* name : game::FolderNames)
        ExpectSameTreeBytes(Game(scratch) + L"\\" + name, Set(scratch) + L"\\" + name);
    reports = events.reports;
    return elapsed;
}

// Restores the set made by the last backup over another version of the same data.
double TimeRestore(const std::wstring& scratch, long& reports) {
    MakeCurrentGameData(scratch);
    CountingEvents events;
    const double start = NowMs();
    JobReport report = RestoreJob(Restored(scratch), Set(scratch), L"", Journal(scratch)).Run(events);
    const double elapsed = NowMs() - start;
    Expect(report.Whole() && !report.safetyMarker.empty(), L"the restore is not whole");
    for (const wchar_t* name : game::FolderNames)
        ExpectSameTreeBytes(Set(scratch) + L"\\" + name, Restored(scratch) + L"\\" + name);
    RemoveTree(SafetySetRoot(Restored(scratch)));
    reports = events.reports;
    return elapsed;
}

void PrintPair(const char* what, const std::vector<double>& loop, const std::vector<double>& hash,
               const std::vector<double>& job, long reports) {
    std::vector<double> ratios, floors;
    for (std::size_t i = 0; i < job.size(); ++i) {
        floors.push_back(std::max(loop[i], hash[i]));
        ratios.push_back(job[i] / floors.back());
    }
    std::printf("  %-16s CopyFileW loop %9.1f ms   one thread's SHA-256 %9.1f ms   job %9.1f ms   job / the slower "
                "%.2f of the medians, %.2f median of the rounds (",
                what, Median(loop), Median(hash), Median(job), Median(job) / Median(floors), Median(ratios));
    for (std::size_t i = 0; i < ratios.size(); ++i)
        std::printf("%s%.2f", i ? " " : "", ratios[i]);
    std::printf("); %ld progress reports in the last job\n", reports);
}

void Run(const std::wstring& scratch, bool large, int rounds) {
    EmptyFolder(scratch);
    TreeSize size = MakeShape(Game(scratch), large);
    std::printf("first backup and whole restore, %s: %ld files, %.0f MiB; %d rounds\n",
                large ? "large files" : "small files", size.files, static_cast<double>(size.bytes) / (1 << 20),
                rounds);
    std::fflush(stdout);
    std::vector<double> loopB, jobB, loopR, jobR, hashB, hashR;
    long backupReports = 0, restoreReports = 0;
    // The job and its floor take turns at going first.
    auto sideBySide = [](int round, std::vector<double>& loop, std::vector<double>& job,
                         const std::function<double()>& timeLoop, const std::function<double()>& timeJob) {
        if (round % 2 == 0)
            loop.push_back(timeLoop());
        job.push_back(timeJob());
        if (round % 2 != 0)
            loop.push_back(timeLoop());
    };
    for (int round = 0; round < rounds; ++round) {
        sideBySide(round, loopB, jobB, [&] { return TimeLoop(Game(scratch), Restored(scratch)); },
                   [&] { return TimeBackup(scratch, backupReports); });
        hashB.push_back(TimeHash(Game(scratch)));
        sideBySide(round, loopR, jobR, [&] { return TimeLoop(Set(scratch), Restored(scratch)); },
                   [&] { return TimeRestore(scratch, restoreReports); });
        hashR.push_back(TimeHash(Set(scratch)));
    }
    PrintPair("first backup", loopB, hashB, jobB, backupReports);
    PrintPair("whole restore", loopR, hashR, jobR, restoreReports);
    // One more of each, timed by its own activities.
    MakeEmptyFolder(Set(scratch));
    for (bool restore : {false, true}) {
        if (restore)
            MakeCurrentGameData(scratch);
        ActivityClock clock;
        JobReport report = restore ? RestoreJob(Restored(scratch), Set(scratch), L"", Journal(scratch)).Run(clock)
                                   : BackupJob(Game(scratch), Set(scratch), L"", Journal(scratch)).Run(clock);
        Expect(report.Whole(), L"not whole");
        std::printf("  where the %s's time goes:", restore ? "restore" : "backup");
        for (const auto& [name, ms] : clock.Laps())
            std::printf("  %s %.0f ms;", name.c_str(), ms);
        std::printf("\n");
    }
    EmptyFolder(scratch);
}

// The copy engine's items for a whole tree: each folder, then its files.
void ItemsOfTree(const std::wstring& from, const std::wstring& to, std::vector<CopyItem>& items) {
    items.push_back({LongPath(from), LongPath(to), 0, true});
    for (const DirEntry& entry : DirSearch::Everything(LongPath(from))) {
        if (entry.IsFolder())
            ItemsOfTree(from + L"\\" + entry.name, to + L"\\" + entry.name, items);
        else
            items.push_back({LongPath(from + L"\\" + entry.name), LongPath(to + L"\\" + entry.name), entry.size});
    }
}

// The copy engine alone, with either way of flushing, beside the loop.
void Flush(const std::wstring& scratch, int rounds) {
    EmptyFolder(scratch);
    TreeSize size = MakeShape(Game(scratch), false);
    std::vector<CopyItem> items{{L"", LongPath(Set(scratch)), 0, true}};
    for (const wchar_t* name : game::FolderNames)
        ItemsOfTree(Game(scratch) + L"\\" + name, Set(scratch) + L"\\" + name, items);
    std::vector<double> loop, beside, atEnd, eachFile;
    QuietCopyObserver quiet;
    for (int round = 0; round < rounds; ++round) {
        loop.push_back(TimeLoop(Game(scratch), Set(scratch)));
        for (FlushMode mode : {FlushMode::Beside, FlushMode::AtEnd, FlushMode::EachFile}) {
            RemoveTree(Set(scratch));
            FileCopier copier(mode);
            const double start = NowMs();
            Expect(copier.Copy(items, 0, items.size(), quiet).result.Ok(), L"copy");
            Expect(copier.Flush(quiet).Ok(), L"flush");
            (mode == FlushMode::Beside ? beside : mode == FlushMode::AtEnd ? atEnd : eachFile).push_back(NowMs() - start);
        }
    }
    std::printf("copy engine alone, %ld files of 4 KiB, %d rounds (medians):\n", size.files, rounds);
    std::printf("  CopyFileW loop, no flush          %9.1f ms\n", Median(loop));
    std::printf("  engine, each flushed beside       %9.1f ms  (%.2f x loop)\n", Median(beside),
                Median(beside) / Median(loop));
    std::printf("  engine, all flushed at the end    %9.1f ms  (%.2f x loop)\n", Median(atEnd),
                Median(atEnd) / Median(loop));
    std::printf("  engine, each flushed as it closes %9.1f ms  (%.2f x loop)\n", Median(eachFile),
                Median(eachFile) / Median(loop));
    EmptyFolder(scratch);
}

// Times one backup into the set as it stands (the job's caller takes its progress).
double TimeJob(const std::function<JobReport(JobEvents&)>& run, const wchar_t* what) {
    CountingEvents events;
    const double start = NowMs();
    JobReport report = run(events);
    const double elapsed = NowMs() - start;
    Expect(report.Whole(), std::wstring(what) + L": not whole");
    return elapsed;
}

// What a job costs when little or nothing changed, beside the first backup of the data.
void Changes(const std::wstring& scratch, bool large, int rounds) {
    EmptyFolder(scratch);
    TreeSize size = MakeShape(Game(scratch), large);
    std::printf("backups and a restore that cost what changed, %s: %ld files, %.0f MiB; %d rounds\n",
                large ? "large files" : "small files", size.files, static_cast<double>(size.bytes) / (1 << 20), rounds);
    std::fflush(stdout);
    auto backup = [&](JobEvents& events) { return BackupJob(Game(scratch), Set(scratch), L"", Journal(scratch)).Run(events); };
    std::vector<double> first, unchanged, oneChanged, restoreEqual;
    for (int round = 0; round < rounds; ++round) {
        MakeEmptyFolder(Set(scratch));
        first.push_back(TimeJob(backup, L"first backup"));
        unchanged.push_back(TimeJob(backup, L"second backup, nothing changed"));
        if (large) {
            TreeSize ignored;
            WriteFileOf(Game(scratch) + L"\\maps\\world 1.map", std::size_t{500} << 20, 31337 + round, ignored);
            oneChanged.push_back(TimeJob(backup, L"backup, one file changed"));
        }
        restoreEqual.push_back(TimeJob(
            [&](JobEvents& events) { return RestoreJob(Game(scratch), Set(scratch), L"", Journal(scratch)).Run(events); },
            L"restore over equal data"));
    }
    auto row = [&](const char* what, const std::vector<double>& times) {
        std::vector<double> ratios;
        for (std::size_t i = 0; i < times.size(); ++i)
            ratios.push_back(times[i] / first[i]);
        std::printf("  %-36s %9.1f ms   x first backup %.3f (median of the rounds)\n", what, Median(times),
                    Median(ratios));
    };
    std::printf("  %-36s %9.1f ms\n", "first backup", Median(first));
    {
        ActivityClock clock;
        Expect(backup(clock).Whole(), L"backup");
        std::printf("  where a backup with nothing changed spends its time:");
        for (const auto& [name, ms] : clock.Laps())
            std::printf("  %s %.0f ms;", name.c_str(), ms);
        std::printf("\n");
    }
    row("second backup, nothing changed", unchanged);
    if (large)
        row("backup, one of four files changed", oneChanged);
    row("restore over data equal to the set", restoreEqual);
    EmptyFolder(scratch);
}

// The hash's share: the copy engine on the large files without the hash, with each file's
// SHA-256 taken beside the copy and on the copy's own thread; and each provider alone.
template <class Provider>
double HashRate(int rounds) {
    std::vector<char> buffer(256u << 20, 'h');
    std::vector<double> ms;
    for (int round = 0; round < rounds; ++round) {
        const double start = NowMs();
        Provider sha;
        sha.Add(buffer.data(), buffer.size());
        Expect(sha.HexDigest().size() == 64, L"digest");
        ms.push_back(NowMs() - start);
    }
    return 256.0 / (Median(ms) / 1000);
}

void Hash(const std::wstring& scratch, int rounds) {
    EmptyFolder(scratch);
    TreeSize size = MakeShape(Game(scratch), true);
    struct Way {
        const char* name;
        bool hash;
        HashMode mode;
        std::vector<double> ms;
    };
    Way ways[] = {{"copy engine, no hash", false, HashMode::Beside, {}},
                  {"copy engine, SHA-256 beside it", true, HashMode::Beside, {}},
                  {"copy engine, SHA-256 on its thread", true, HashMode::OnCopyThread, {}}};
    QuietCopyObserver quiet;
    for (int round = 0; round < rounds; ++round) {
        for (Way& way : ways) {
            std::vector<CopyItem> items;
            ItemsOfTree(Game(scratch) + L"\\maps", Set(scratch), items);
            for (CopyItem& item : items)
                item.hash = way.hash && !item.folder;
            RemoveTree(Set(scratch));
            FileCopier copier(FlushMode::Beside, way.mode);
            const double start = NowMs();
            Expect(copier.Copy(items, 0, items.size(), quiet).result.Ok(), L"copy");
            Expect(copier.Flush(quiet).Ok(), L"flush");
            for (std::size_t i = 0; way.hash && i < items.size(); ++i)
                Expect(items[i].folder || !copier.Digest(i).empty(), L"no digest");
            way.ms.push_back(NowMs() - start);
        }
    }
    const double mib = static_cast<double>(size.bytes) / (1 << 20);
    const double plain = Median(ways[0].ms);
    std::printf("the hash's share, %.0f MiB in 4 files, %d rounds (medians), SHA-256 by %ls:\n", mib, rounds,
                Sha256Provider().c_str());
    for (const Way& way : ways)
        std::printf("  %-36s %9.1f ms  (%.0f MiB/s, %.2f x)\n", way.name, Median(way.ms), mib / (Median(way.ms) / 1000),
                    Median(way.ms) / plain);
#if BKTRNWCK_HAVE_LIBGCRYPT
    std::printf("  SHA-256 alone, libgcrypt, one thread %9.0f MiB/s\n", HashRate<GcryptSha256>(rounds));
#endif
    std::printf("  SHA-256 alone, BCrypt, one thread    %9.0f MiB/s\n", HashRate<BCryptSha256>(rounds));
    EmptyFolder(scratch);
}

// The copy engine with each file's SHA-256 beside it, on the large files, with pieces of
// each size, taking turns (the order moves on each round); then one copy of each size
// timed piece by piece (CopyTimeline): where the wall time goes.
struct PieceRun {
    double ms = 0;
    CopyTimeline timeline;
};

void CopyLarge(const std::wstring& scratch, std::size_t piece, bool timed, PieceRun& run, std::size_t lanes = 1) {
    std::vector<CopyItem> items;
    ItemsOfTree(Game(scratch) + L"\\maps", Set(scratch), items);
    for (CopyItem& item : items)
        item.hash = !item.folder;
    RemoveTree(Set(scratch));
    QuietCopyObserver quiet;
    FileCopier copier(FlushMode::Beside, HashMode::Beside, piece);
    copier.SetLanes(lanes);
    if (timed)
        copier.SetTimeline(&run.timeline);
    const double start = NowMs();
    Expect(copier.Copy(items, 0, items.size(), quiet).result.Ok(), L"copy");
    Expect(copier.Flush(quiet).Ok(), L"flush");
    for (std::size_t i = 0; i < items.size(); ++i)
        Expect(items[i].folder || !copier.Digest(i).empty(), L"no digest");
    run.ms = NowMs() - start;
}

void Pieces(const std::wstring& scratch, int rounds) {
    EmptyFolder(scratch);
    TreeSize size = MakeShape(Game(scratch), true);
    const std::size_t sizes[] = {std::size_t{256} << 10, std::size_t{1} << 20, std::size_t{2} << 20,
                                 std::size_t{4} << 20};
    std::vector<double> ms[std::size(sizes)];
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t k = 0; k < std::size(sizes); ++k) {
            const std::size_t at = (k + static_cast<std::size_t>(round)) % std::size(sizes);
            PieceRun run;
            CopyLarge(scratch, sizes[at], false, run);
            ms[at].push_back(run.ms);
        }
    }
    const double mib = static_cast<double>(size.bytes) / (1 << 20);
    std::printf("pieces of each size, the copy engine with SHA-256 beside it, %.0f MiB in 4 files, %d rounds:\n", mib,
                rounds);
    for (std::size_t k = 0; k < std::size(sizes); ++k) {
        std::printf("  %5zu KiB   best %7.1f ms   median %7.1f ms   (%.2f x the 256 KiB median)\n", sizes[k] >> 10,
                    *std::min_element(ms[k].begin(), ms[k].end()), Median(ms[k]), Median(ms[k]) / Median(ms[0]));
    }
    std::printf("where one copy's wall time goes, piece by piece (ms; hashing is on the hasher's thread):\n");
    for (std::size_t piece : sizes) {
        PieceRun run;
        CopyLarge(scratch, piece, true, run);
        LONGLONG wait = 0, read = 0, write = 0, handoff = 0;
        for (const PieceTimes& t : run.timeline.pieces) {
            wait += t.wait;
            read += t.read;
            write += t.write;
            handoff += t.handoff;
        }
        const double pieces = CopyTimeline::Milliseconds(wait + read + write + handoff);
        std::printf("  %5zu KiB   wall %7.1f   read %7.1f   write %7.1f   wait for a free piece %7.1f   handoff %5.1f"
                    "   neither %6.1f   hashing %7.1f   (%zu pieces)\n",
                    piece >> 10, run.ms, CopyTimeline::Milliseconds(read), CopyTimeline::Milliseconds(write),
                    CopyTimeline::Milliseconds(wait), CopyTimeline::Milliseconds(handoff), run.ms - pieces,
                    CopyTimeline::Milliseconds(run.timeline.hashing.load()), run.timeline.pieces.size());
    }
    EmptyFolder(scratch);
}

// A set's manifest written afresh (a safety set's, after a restore's swap) over the small
// files, beside its parts: opening, reading and closing each file alone, and a fresh
// SHA-256 of 4 KiB per file alone.
void Manifest(const std::wstring& scratch, int rounds) {
    EmptyFolder(scratch);
    MakeShape(Game(scratch), false);
    std::vector<std::wstring> files;
    for (const wchar_t* name : game::FolderNames) {
        for (const std::wstring& rel : FilesBelow(Game(scratch) + L"\\" + name))
            files.push_back(Game(scratch) + L"\\" + name + L"\\" + rel);
    }
    std::vector<double> manifest, io, hashes;
    std::vector<char> buffer(1 << 20, 'x');
    for (int round = 0; round < rounds; ++round) {
        double start = NowMs();
        Expect(WriteSetManifest(Game(scratch)).Ok(), L"manifest");
        manifest.push_back(NowMs() - start);
        start = NowMs();
        for (const std::wstring& path : files) {
            HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
            DWORD got = 0;
            while (ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr) && got) {
            }
            CloseHandle(file);
        }
        io.push_back(NowMs() - start);
        start = NowMs();
        for (std::size_t i = 0; i < files.size(); ++i) {
            Sha256 sha;
            sha.Add(buffer.data(), 4096);
            Expect(sha.HexDigest().size() == 64, L"digest");
        }
        hashes.push_back(NowMs() - start);
    }
    std::printf("a set's manifest over %zu files of 4 KiB, %d rounds (medians):\n", files.size(), rounds);
    std::printf("  WriteSetManifest                    %9.1f ms\n", Median(manifest));
    std::printf("  open, read and close each file      %9.1f ms\n", Median(io));
    std::printf("  a fresh SHA-256 of 4 KiB per file    %9.1f ms\n", Median(hashes));
    EmptyFolder(scratch);
}

// The large files copied one after the other (the hash beside the copy) and at once, one a
// core (each hashed on its lane's thread), taking turns.
void Lanes(const std::wstring& scratch, int rounds) {
    EmptyFolder(scratch);
    TreeSize size = MakeShape(Game(scratch), true);
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const std::size_t cores = system.dwNumberOfProcessors;
    std::vector<double> ms[2];
    for (int round = 0; round < rounds; ++round) {
        for (int k = 0; k < 2; ++k) {
            const int at = (k + round) % 2;
            PieceRun run;
            CopyLarge(scratch, FileCopier::kDefaultPiece, false, run, at == 0 ? 1 : cores);
            ms[at].push_back(run.ms);
        }
    }
    const double mib = static_cast<double>(size.bytes) / (1 << 20);
    std::printf("the large files one after the other and at once, %.0f MiB in 4 files, %zu cores, %d rounds:\n", mib,
                cores, rounds);
    const char* names[] = {"one after the other", "at once, one a core"};
    for (int k = 0; k < 2; ++k)
        std::printf("  %-22s best %7.1f ms   median %7.1f ms   (%.2f x the first's median)\n", names[k],
                    *std::min_element(ms[k].begin(), ms[k].end()), Median(ms[k]), Median(ms[k]) / Median(ms[0]));
    EmptyFolder(scratch);
}

// Round trips between two threads, each side waiting for the other's turn.
template <class Mutex, class Hold, class Wait, class Wake>
double RoundTripUs(Mutex& mutex, Wait wait, Wake wake, int trips) {
    int turn = 0;
    auto side = [&](int mine) {
        for (int i = 0; i < trips; ++i) {
            Hold hold(mutex);
            wait(hold, [&] { return turn % 2 == mine; });
            ++turn;
            wake();
        }
    };
    const double start = NowMs();
    std::thread other([&] { side(1); });
    side(0);
    other.join();
    return (NowMs() - start) * 1000 / trips;
}

void Handoff(int rounds) {
    const int trips = 2000;
    std::vector<double> standard, kit;
    for (int round = 0; round < rounds; ++round) {
        std::mutex mutex;
        std::condition_variable changed;
        standard.push_back(RoundTripUs<std::mutex, std::unique_lock<std::mutex>>(
            mutex, [&](std::unique_lock<std::mutex>& hold, auto reached) { changed.wait(hold, reached); },
            [&] { changed.notify_one(); }, trips));
        Lock lock;
        Condition condition;
        kit.push_back(RoundTripUs<Lock, LockHold>(
            lock, [&](LockHold& hold, auto reached) { condition.Wait(hold, reached); }, [&] { condition.WakeOne(); },
            trips));
    }
    std::printf("a round trip between two threads, %d trips, %d rounds (medians):\n", trips, rounds);
    std::printf("  std::mutex and std::condition_variable %9.1f us\n", Median(standard));
    std::printf("  SRWLOCK and CONDITION_VARIABLE (Sync.h) %8.1f us  (%.2f x)\n", Median(kit),
                Median(kit) / Median(standard));
}

}  // namespace

int main() {
    FailOnAnyMessageBox();
    const std::vector<std::wstring> args = Arguments();
    try {
        if (args.size() == 5 && args[1] == L"run" && (args[3] == L"small" || args[3] == L"large")) {
            Run(args[2], args[3] == L"large", Count(args[4]));
            return 0;
        }
        if (args.size() == 5 && args[1] == L"changes" && (args[3] == L"small" || args[3] == L"large")) {
            Changes(args[2], args[3] == L"large", Count(args[4]));
            return 0;
        }
        // The modes that take a scratch folder and the rounds.
        const std::pair<const wchar_t*, void (*)(const std::wstring&, int)> onScratch[] = {
            {L"hash", Hash}, {L"lanes", Lanes}, {L"manifest", Manifest}, {L"pieces", Pieces}, {L"flush", Flush}};
        for (const auto& [name, mode] : onScratch) {
            if (args.size() == 4 && args[1] == name) {
                mode(args[2], Count(args[3]));
                return 0;
            }
        }
        if (args.size() == 3 && args[1] == L"handoff") {
            Handoff(Count(args[2]));
            return 0;
        }
    } catch (const AppError& error) {
        Fail(L"error " + std::to_wstring(error.Number()) + L": " + error.Description());
    }
    std::fprintf(stderr, "usage: bench_jobcopy run|changes <scratch> small|large <rounds> | "
                         "flush|hash|lanes|manifest|pieces <scratch> <rounds> | handoff <rounds>\n");
    return 2;
}
