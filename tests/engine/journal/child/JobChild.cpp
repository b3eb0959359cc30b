// A backup or restore run in a process of its own and held dead still at a named stage:
// the tests that kill a job start it, wait until it signals that it got there, and end it
// with TerminateProcess, as a crash, End task or a power cut would.
//
// Usage: job_child backup|restore <game folder> <set folder> <journal> <stage> <n> <event>
// At the n-th passing of the stage (see StageHook.h) it sets the named event and waits
// for ever. Exit codes: 3 the job ended without reaching the stage, 2 bad arguments.

#include <windows.h>
#include <shellapi.h>

#include <atomic>
#include <cwchar>
#include <string>

#include "engine/jobs/BackupJob.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "runtime/Handles.h"
#include "runtime/StageHook.h"
#include "runtime/TextConv.h"

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc != 8)
        return 2;
    const std::wstring kind = argv[1], game = argv[2], set = argv[3], journal = argv[4];
    const std::string stage = Narrow(argv[5]);
    const int nth = _wtoi(argv[6]);
    KernelHandle reached(OpenEventW(EVENT_MODIFY_STATE, FALSE, argv[7]));
    if (!reached)
        return 2;
    std::atomic<int> passed{0};
    SetStageHook([&](const char* name) {
        if (stage != name || ++passed != nth)
            return;
        SetEvent(reached.Get());
        Sleep(INFINITE);
    });
    QuietJobEvents events;
    if (kind == L"backup" || kind == L"dated backup")
        BackupJob(game, set, L"", journal, L"", kind == L"dated backup").Run(events);
    else
        RestoreJob(game, set, L"", journal).Run(events);
    return 3;
}
