// e2e_driver: drives the real bkTrnwck.exe from outside, as a user would, and checks what it
// leaves on disk. Every wait has a time limit; a watchdog ends everything if the run as a whole
// takes too long, so the driver never hangs.
#include <windows.h>

#include <cstdlib>
#include <map>
#include <thread>
#include <vector>

#include "AppProcess.h"
#include "Deadline.h"
#include "GameData.h"
#include "E2eError.h"
#include "Log.h"
#include "Scenarios.h"
#include "runtime/TextConv.h"

namespace {

constexpr wchar_t kUsage[] =
    L"usage:\n"
    L"  e2e_driver menu <exe> [options]\n"
    L"  e2e_driver backup <exe> <setFolder> [options]\n"
    L"  e2e_driver backup-daily <exe> <setFolder> [options]\n"
    L"  e2e_driver restore <exe> <markerPath> [options]\n"
    L"  e2e_driver backup-restore <exe> <setFolder> [options]\n"
    L"  e2e_driver backup-restore-undo <exe> <setFolder> --seed <folder> [options]\n"
    L"  e2e_driver crafted <exe> <setFolder> --seed <folder> [options]\n"
    L"  e2e_driver kill <exe> <setFolder> --seed <folder> [options]\n"
    L"  e2e_driver cancel <exe> <setFolder> --seed <folder> [--big-file MiB] [options]\n"
    L"  e2e_driver keyboard <exe> <setFolder> --seed <folder> [options]\n"
    L"options:\n"
    L"  --screenshots DIR   save a PNG of every step into DIR as NN-name.png (replacing\n"
    L"                      the NN-*.png of an earlier run there)\n"
    L"  --seed SAMPLEDIR    lend the game folder the sample data in SAMPLEDIR for this run\n"
    L"                      (put back afterwards), start from an emptied set folder, and\n"
    L"                      change the game data between backup and restore\n"
    L"  --use-open-dialog   choose the marker in the open-file dialog instead of typing it\n"
    L"  --big-file MIB      cancel: Cancel in the middle of one file of MIB MiB in the maps\n"
    L"  --game-below-x86    the game lies below the Program Files folder for 32-bit\n"
    L"                      programs, and nowhere else (with --seed)\n"
    L"  --timeout SECONDS   limit for the whole run (default 300)\n";

struct Arguments {
    std::wstring scenario;
    std::vector<std::wstring> positional;
    std::wstring screenshots;
    std::wstring seed;
    bool useOpenDialog = false;
    bool gameBelowX86 = false;
    unsigned bigFileMiB = 0;
    unsigned timeoutSeconds = 300;
};

// Under Wine a Unix path (as the build hands over) becomes the DOS path Windows programs use.
std::wstring DosPath(const std::wstring& path) {
    if (path.empty() || path[0] != L'/')
        return path;
    using ToDos = wchar_t*(CDECL*)(const char*);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos)
        return path;
    wchar_t* dos = toDos(Narrow(path).c_str());
    if (!dos)
        return path;
    std::wstring result = dos;
    HeapFree(GetProcessHeap(), 0, dos);
    return result;
}

Arguments Parse(int argc, wchar_t** argv) {
    Arguments args;
    for (int i = 1; i < argc; ++i) {
        std::wstring arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (arg == L"--screenshots" && hasValue)
            args.screenshots = DosPath(argv[++i]);
        else if (arg == L"--seed" && hasValue)
            args.seed = DosPath(argv[++i]);
        else if (arg == L"--timeout" && hasValue)
            args.timeoutSeconds = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--big-file" && hasValue)
            args.bigFileMiB = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        else if (arg == L"--use-open-dialog")
            args.useOpenDialog = true;
        else if (arg == L"--game-below-x86")
            args.gameBelowX86 = true;
        else if (arg.starts_with(L"--"))
            throw E2eError(L"unknown option " + arg);
        else if (args.scenario.empty())
            args.scenario = arg;
        else
            args.positional.push_back(DosPath(arg));
    }
    return args;
}

// Waits stop at the run's deadline; the watchdog only acts if something still hangs after it.
void StartWatchdog(unsigned seconds) {
    SetRunDeadline(seconds * 1000);
    std::thread([seconds] {
        Sleep(seconds * 1000 + 20000);
        Log(L"FAILED: the run took longer than " + std::to_wstring(seconds) + L" s; ending it");
        KillStartedApps();
        ExitProcess(3);
    }).detach();
}

int Run(const Arguments& args) {
    static const std::map<std::wstring, size_t> positionalCount = {
        {L"menu", 1}, {L"backup", 2}, {L"restore", 2}, {L"backup-restore", 2}, {L"backup-restore-undo", 2}, {L"kill", 2}, {L"cancel", 2},
        {L"keyboard", 2}, {L"crafted", 2}, {L"backup-daily", 2}};
    auto expected = positionalCount.find(args.scenario);
    if (expected == positionalCount.end() || args.positional.size() != expected->second) {
        Log(kUsage);
        return 2;
    }
    RunOptions options{args.positional[0], args.seed, args.useOpenDialog, args.bigFileMiB};
    if (args.gameBelowX86)
        UseGameFolderBelowProgramFilesX86();
    ScreenshotLog shots(args.screenshots);
    if (args.scenario == L"menu")
        MainMenuScenario(options, shots);
    else if (args.scenario == L"backup")
        BackupScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"restore")
        RestoreScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"cancel")
        CancelScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"kill")
        KillScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"keyboard")
        KeyboardScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"crafted")
        CraftedSetScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"backup-daily")
        DailyBackupScenario(options, shots, args.positional[1]);
    else if (args.scenario == L"backup-restore-undo")
        BackupRestoreUndoScenario(options, shots, args.positional[1]);
    else
        BackupRestoreScenario(options, shots, args.positional[1]);
    shots.Flush();
    if (!shots.Folder().empty())
        Log(L"screenshots: " + std::to_wstring(shots.Files().size()) + L" in " + shots.Folder());
    Log(L"PASSED: " + args.scenario);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    try {
        Arguments args = Parse(argc, argv);
        StartWatchdog(args.timeoutSeconds);
        return Run(args);
    } catch (const E2eError& error) {
        Log(L"FAILED: " + error.Message());
        return 1;
    }
}
