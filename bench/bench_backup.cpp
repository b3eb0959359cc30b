// Benchmark of a whole backup, not a test: the backup wizard's last Next (folder check,
// the engine's three folder copies with their completeness checks, the configuration
// file, the yields and the marker) on a generated game folder, beside a plain CopyFileW
// loop and the shell's copy alone over the same data, each in turn, against the `cp -r`
// time of the same game folder measured by the calling script between the rounds.
// Usage: see RunBenchProgram; scripts/bench-backup.sh runs it.

#include <windows.h>

#include <cstdio>

#include "BenchGameData.h"
#include "backup/frmBackup.h"
#include "runtime/ProcessState.h"
#include "ui/Controls.h"

namespace {

using namespace bench;

const wchar_t kStudioFolder[] = L"C:\\Program files\\Glimmerfen Studios";

void Prepare(const std::wstring& scratch) {
    if (GetFileAttributesW(game::Folder) != INVALID_FILE_ATTRIBUTES)
        Fail(L"the game folder exists already: " + std::wstring(game::Folder));
    if (!CreateDirectoryW(kStudioFolder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail(L"cannot create folder " + std::wstring(kStudioFolder));
    TreeSize size = MakeGameData(game::Folder);
    MakeEmptyFolder(scratch);
    std::printf("game folder made: %ld files, %ld folders\n", size.files, size.folders);
}

// Times one copy of the game folder's data into a fresh folder, checks it, removes it.
double TimeCopy(const std::wstring& destination, void (*copy)(const std::wstring&, const std::wstring&)) {
    MakeEmptyFolder(destination);
    double start = NowMs();
    copy(game::Folder, destination);
    double elapsed = NowMs() - start;
    ExpectGameDataCopied(game::Folder, destination);
    RemoveTree(destination);
    return elapsed;
}

// The whole backup as a user runs it: Next, Next, the folder typed, Next. Only the last
// Next is timed: it runs the whole backup. The completeness check is then timed alone.
double TimeWizardBackup(const std::wstring& destination, double& checkMs) {
    MakeEmptyFolder(destination);
    frmBackup::Unload();
    BackupStep = 0;
    BackupLocation.clear();
    frmBackup& wizard = frmBackup::Instance();
    wizard.cmdNext_Click();
    wizard.cmdNext_Click();
    if (BackupStep != 2)
        Fail(L"the wizard did not reach the folder step");
    SetText(wizard.text1(), destination);

    double start = NowMs();
    wizard.cmdNext_Click();
    double elapsed = NowMs() - start;

    if (BackupStep != 5 || wizard.SetIncomplete())
        Fail(L"the backup did not end complete on the finish panel");
    if (DirSearch::FirstName(destination + L"\\Tarnwick_*.BAK", 0).empty())
        Fail(L"the backup set has no marker");
    checkMs = ExpectGameDataCopied(game::Folder, destination);
    RemoveTree(destination);
    return elapsed;
}

}  // namespace

int main() {
    return RunBenchProgram({
        "bench_backup",
        L"Whole backup",
        Prepare,
        [](const std::wstring&) { return GameDataSize(game::Folder); },
        [](const std::wstring& scratch) { return TimeCopy(scratch + L"\\loop", CopyGameDataLoop); },
        [](const std::wstring& scratch) { return TimeCopy(scratch + L"\\shell", ShellCopyGameData); },
        [](const std::wstring& scratch, double& checkMs) {
            return TimeWizardBackup(scratch + L"\\backup set", checkMs);
        },
    });
}
