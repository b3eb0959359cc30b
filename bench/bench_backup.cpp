// Benchmark of a whole backup, not a test: BackupJob(game folder, set folder).Run into a
// set folder that already holds an earlier set (which the job sets aside, merges with the
// new copy and then removes), beside the bare shell copies of the same three folders and
// the configuration file into the same earlier set, and a plain CopyFileW loop likewise;
// the calling script times `cp -r` of the same data into the same earlier set between
// the rounds. Each measurement starts from a fresh copy of the earlier set (untimed) and
// is checked afterwards byte for byte (untimed).
// Usage: see RunBenchProgram; scripts/bench-backup.sh runs it.
//
// <scratch folder>\data\game      the game folder: 3000 small files, 3 x 32 MiB, the cfg
// <scratch folder>\data\earlier   the earlier set: the same with 30 older score files,
//                                 another cfg and 30 saves the game no longer has
// <scratch folder>\set            the set folder of each measurement

#include <windows.h>

#include <cstdio>

#include "BenchGameData.h"
#include "engine/jobs/BackupJob.h"
#include "engine/sets/BackupMarker.h"

namespace {

using namespace bench;

std::wstring Game(const std::wstring& scratch) { return scratch + L"\\data\\game"; }
std::wstring Earlier(const std::wstring& scratch) { return scratch + L"\\data\\earlier"; }
std::wstring Set(const std::wstring& scratch) { return scratch + L"\\set"; }

// The earlier set's marker bears the date of the earlier backup; the job writes today's.
const SYSTEMTIME kEarlierDate = {2024, 3, 0, 9, 12, 0, 0, 0};

void Prepare(const std::wstring& scratch) {
    EmptyFolder(scratch);
    MakeEmptyFolder(scratch + L"\\data");
    TreeSize size = MakeGameData(Game(scratch));
    MakeEarlierData(Game(scratch), Earlier(scratch));
    std::printf("game folder and earlier set made: %ld files, %ld folders\n", size.files, size.folders);
}

// The set folder as an earlier backup left it: the earlier data and its marker.
void PrepareEarlierSet(const std::wstring& scratch) {
    const std::wstring set = Set(scratch);
    MakeEmptyFolder(set);
    CopyGameDataLoop(Earlier(scratch), set);
    const std::wstring marker = MarkerPath(set, kEarlierDate);
    WriteMarkerVersion(marker);
    WriteMarkerLocation(marker, set);
}

void ExpectNewSet(const std::wstring& scratch) { ExpectMergedData(Game(scratch), Earlier(scratch), Set(scratch)); }

// Times one copy of the game data into the earlier set, checks it, removes the set.
double TimeCopy(const std::wstring& scratch, void (*copy)(const std::wstring&, const std::wstring&)) {
    PrepareEarlierSet(scratch);
    const double start = NowMs();
    copy(Game(scratch), Set(scratch));
    const double elapsed = NowMs() - start;
    ExpectNewSet(scratch);
    RemoveTree(Set(scratch));
    return elapsed;
}

double TimeJob(const std::wstring& scratch) {
    PrepareEarlierSet(scratch);
    QuietEvents events;
    const double start = NowMs();
    JobReport report = BackupJob(Game(scratch), Set(scratch)).Run(events);
    const double elapsed = NowMs() - start;
    Expect(report.Whole(), L"the backup is not whole");
    Expect(report.earlierSet, L"the backup found no earlier set");
    Expect(!report.marker.empty() && Exists(report.marker), L"the backup wrote no marker");
    Expect(SubFolders(Set(scratch)) == std::vector<std::wstring>{L"maps", L"saves", L"scores"},
           L"the set folder holds more than the set (the earlier set was not removed)");
    ExpectNewSet(scratch);
    RemoveTree(Set(scratch));
    return elapsed;
}

// Where the job's time goes: its activities, timed from its own progress reports.
std::vector<std::pair<std::string, double>> TimePhases(const std::wstring& scratch) {
    PrepareEarlierSet(scratch);
    ActivityClock clock;
    JobReport report = BackupJob(Game(scratch), Set(scratch)).Run(clock);
    Expect(report.Whole(), L"the job is not whole");
    std::vector<std::pair<std::string, double>> laps = clock.Laps();
    ExpectNewSet(scratch);
    RemoveTree(Set(scratch));
    return laps;
}

}  // namespace

int main() {
    return RunBenchProgram({
        "bench_backup",
        L"Whole backup into a set folder holding an earlier set",
        Prepare,
        [](const std::wstring& scratch) { return GameDataSize(Game(scratch)); },
        [](const std::wstring& scratch, int) { return TimeCopy(scratch, CopyGameDataLoop); },
        [](const std::wstring& scratch, int) { return TimeCopy(scratch, ShellCopyGameData); },
        [](const std::wstring& scratch, int) { return TimeJob(scratch); },
        [](const std::wstring& scratch, int) { return TimePhases(scratch); },
        [](int) { return std::wstring(); },
    });
}
