// Benchmark of a whole restore, not a test: RestoreJob(game folder, set folder).Run into
// a game folder that holds the game's current data (which the job renames aside into a
// new safety set beside the game folder, and merges back where the set lacks files),
// with a given number of safety sets already there (at five, every restore removes the
// oldest), beside the bare shell copies of the set's three folders and configuration file
// into the same current data, and a plain CopyFileW loop likewise; the calling script
// times `cp -r` of the same data into the same current data between the rounds. Each
// measurement starts from a fresh copy of the current data (untimed) and is checked
// afterwards byte for byte (untimed).
// Usage: see RunBenchProgram; scripts/bench-restore.sh runs it.
//
// <scratch folder>\data\set                  the backup set with its marker: 3000 small
//                                             files, 3 x 32 MiB, the cfg
// <scratch folder>\data\current              the game's current data: the same with 30
//                                             other score files, another cfg and 30 saves
//                                             the set lacks
// <scratch folder>\Glimmerfen Studios\Tarnwick                the game folder
// <scratch folder>\Glimmerfen Studios\Tarnwick safety sets    its safety sets

#include <windows.h>

#include <cstdio>

#include "BenchGameData.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SafetySets.h"

namespace {

using namespace bench;

std::wstring Set(const std::wstring& scratch) { return scratch + L"\\data\\set"; }
std::wstring Current(const std::wstring& scratch) { return scratch + L"\\data\\current"; }
std::wstring Game(const std::wstring& scratch) { return scratch + L"\\Glimmerfen Studios\\Tarnwick"; }
std::wstring SafetyRoot(const std::wstring& scratch) { return SafetySetRoot(Game(scratch)); }

void Prepare(const std::wstring& scratch) {
    EmptyFolder(scratch);
    MakeEmptyFolder(scratch + L"\\data");
    const std::wstring set = Set(scratch);
    TreeSize size = MakeGameData(set);
    const std::wstring marker = WriteMarker(set);
    MakeEarlierData(set, Current(scratch));
    if (!MakeFolderPath(Game(scratch)).Ok() || !MakeFolderPath(SafetyRoot(scratch)).Ok())
        Fail(L"cannot make the game folder");
    std::printf("backup set made: %ls, %ld files, %ld folders\n", marker.c_str(), size.files, size.folders);
}

// Exactly `count` safety sets beside the game folder: the newest go, or older ones (each
// the current data with its marker, as a restore leaves it) are made.
void KeepSafetySets(const std::wstring& scratch, int count) {
    const std::wstring root = SafetyRoot(scratch);
    std::vector<std::wstring> sets = SubFolders(root);
    for (; static_cast<int>(sets.size()) > count; sets.pop_back())
        RemoveTree(root + L"\\" + sets.back());
    for (int second = 0; static_cast<int>(sets.size()) < count; ++second) {
        wchar_t name[32];
        swprintf(name, 32, L"2001.01.01 00.00.%02d", second);
        const std::wstring folder = root + L"\\" + name;
        if (Exists(folder))
            continue;
        MakeEmptyFolder(folder);
        CopyGameDataLoop(Current(scratch), folder);
        WriteMarker(folder);
        sets.push_back(name);
    }
}

// The game folder as the player left it: the current data; `safetySets` safety sets.
void PrepareGameFolder(const std::wstring& scratch, int safetySets) {
    RemoveGameData(Game(scratch));
    CopyGameDataLoop(Current(scratch), Game(scratch));
    KeepSafetySets(scratch, safetySets);
}

void ExpectRestored(const std::wstring& scratch) { ExpectMergedData(Set(scratch), Current(scratch), Game(scratch)); }

// Times one copy of the set's data into the current data, checks it, removes it.
double TimeCopy(const std::wstring& scratch, int safetySets, void (*copy)(const std::wstring&, const std::wstring&)) {
    PrepareGameFolder(scratch, safetySets);
    const double start = NowMs();
    copy(Set(scratch), Game(scratch));
    const double elapsed = NowMs() - start;
    ExpectRestored(scratch);
    RemoveGameData(Game(scratch));
    return elapsed;
}

// The safety sets a restore leaves: its own, and the newest of the earlier ones.
void ExpectSafetySets(const std::wstring& scratch, int before, const JobReport& report) {
    const size_t expected = std::min(static_cast<size_t>(before) + 1, SafetySetsKept);
    const std::vector<std::wstring> sets = SubFolders(SafetyRoot(scratch));
    Expect(sets.size() == expected, L"the restore left " + std::to_wstring(sets.size()) + L" safety sets");
    Expect(!report.safetySet.empty() && Exists(report.safetyMarker), L"the restore made no safety set");
    ExpectGameDataCopied(Current(scratch), report.safetySet);
}

double TimeJob(const std::wstring& scratch, int safetySets) {
    PrepareGameFolder(scratch, safetySets);
    QuietEvents events;
    const double start = NowMs();
    JobReport report = RestoreJob(Game(scratch), Set(scratch)).Run(events);
    const double elapsed = NowMs() - start;
    Expect(report.Whole(), L"the restore is not whole");
    ExpectRestored(scratch);
    ExpectSafetySets(scratch, safetySets, report);
    RemoveGameData(Game(scratch));
    return elapsed;
}

// Where the job's time goes: its activities, timed from its own progress reports.
std::vector<std::pair<std::string, double>> TimePhases(const std::wstring& scratch, int safetySets) {
    PrepareGameFolder(scratch, safetySets);
    ActivityClock clock;
    JobReport report = RestoreJob(Game(scratch), Set(scratch)).Run(clock);
    Expect(report.Whole(), L"the job is not whole");
    std::vector<std::pair<std::string, double>> laps = clock.Laps();
    ExpectRestored(scratch);
    RemoveGameData(Game(scratch));
    return laps;
}

std::wstring SetsNote(int safetySets) {
    return L", " + std::to_wstring(safetySets) + L" safety sets there before each restore" +
           (safetySets >= static_cast<int>(SafetySetsKept) ? L" (the oldest is removed each time)"
                                                           : L" (none is removed)");
}

}  // namespace

int main() {
    return RunBenchProgram({
        "bench_restore",
        L"Whole restore into a game folder holding current data",
        Prepare,
        [](const std::wstring& scratch) { return GameDataSize(Set(scratch)); },
        [](const std::wstring& scratch, int sets) { return TimeCopy(scratch, sets, CopyGameDataLoop); },
        [](const std::wstring& scratch, int sets) { return TimeCopy(scratch, sets, ShellCopyGameData); },
        TimeJob,
        TimePhases,
        SetsNote,
    });
}
