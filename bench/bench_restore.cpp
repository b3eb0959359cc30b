// Benchmark of a whole restore, not a test: the restore wizard's Next on the marker step
// (the marker checks, the engine's three folder copies into the game folder with their
// completeness checks, the configuration file, the yields) from a backup set made here,
// beside a plain CopyFileW loop and the shell's copy alone over the same data, each in
// turn and each into an emptied game folder, against the `cp -r` time of the same data
// measured by the calling script between the rounds.
// Usage: see RunBenchProgram; scripts/bench-restore.sh runs it. The set is made in
// <scratch folder>\set with its marker, beside an empty game folder.

#include <windows.h>

#include <cstdio>

#include "BenchGameData.h"
#include "ui/Controls.h"
#include "runtime/ProcessState.h"
#include "engine/BackupMarker.h"
#include "files/clsFileSystem.h"
#include "restore/frmRestore.h"

namespace {

using namespace bench;

std::wstring SetFolder(const std::wstring& scratch) { return scratch + L"\\set"; }

void Prepare(const std::wstring& scratch) {
    if (GetFileAttributesW(game::Folder) != INVALID_FILE_ATTRIBUTES)
        Fail(L"the game folder exists already: " + std::wstring(game::Folder));
    MakeEmptyFolder(scratch);
    std::wstring set = SetFolder(scratch);
    TreeSize size = MakeGameData(set);
    std::wstring marker = MarkerPathToday(set);
    WriteMarkerVersion(marker);
    WriteMarkerLocation(marker, set);
    clsFileSystem().CreateDirectoryStruct(game::Folder);
    std::printf("backup set made: %ls, %ld files, %ld folders\n", marker.c_str(), size.files, size.folders);
}

std::wstring MarkerIn(const std::wstring& set) {
    std::wstring name = DirSearch::FirstName(set + L"\\Tarnwick_*.BAK", 0);
    if (name.empty())
        Fail(L"no marker in " + set);
    return set + L"\\" + name;
}

// Times one copy of the set's data into the emptied game folder, checks it, empties it.
double TimeCopy(const std::wstring& set, void (*copy)(const std::wstring&, const std::wstring&)) {
    RemoveGameData(game::Folder);
    double start = NowMs();
    copy(set, game::Folder);
    double elapsed = NowMs() - start;
    ExpectGameDataCopied(set, game::Folder);
    RemoveGameData(game::Folder);
    return elapsed;
}

// The whole restore as a user runs it: Next, the marker typed, Next. Only the last Next
// is timed: it checks the marker and runs the whole restore. The completeness check is
// then timed alone.
double TimeWizardRestore(const std::wstring& set, double& checkMs) {
    RemoveGameData(game::Folder);
    frmRestore::Unload();
    BackupLocation.clear();
    frmRestore& wizard = frmRestore::Instance();
    wizard.cmdNext_Click();
    if (wizard.RestoreStep != 1)
        Fail(L"the wizard did not reach the marker step");
    SetText(wizard.text1(), MarkerIn(set));

    double start = NowMs();
    wizard.cmdNext_Click();
    double elapsed = NowMs() - start;

    if (wizard.RestoreStep != 5 || wizard.RestoreIncomplete())
        Fail(L"the restore did not end complete on the finish panel");
    checkMs = ExpectGameDataCopied(set, game::Folder);
    RemoveGameData(game::Folder);
    return elapsed;
}

}  // namespace

int main() {
    return RunBenchProgram({
        "bench_restore",
        L"Whole restore",
        Prepare,
        [](const std::wstring& scratch) { return GameDataSize(SetFolder(scratch)); },
        [](const std::wstring& scratch) { return TimeCopy(SetFolder(scratch), CopyGameDataLoop); },
        [](const std::wstring& scratch) { return TimeCopy(SetFolder(scratch), ShellCopyGameData); },
        [](const std::wstring& scratch, double& checkMs) { return TimeWizardRestore(SetFolder(scratch), checkMs); },
    });
}
