// The process's entry point.
#include <windows.h>

#include "app/CommandJobs.h"
#include "app/CommandLine.h"
#include "app/Module1.h"
#include "files/Sha256.h"
#include "runtime/AppError.h"
#include "runtime/EventGuard.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Where the hash cannot start, each job's first hash raises the same error, and the
    // job reports it as any other failure.
    try {
        StartSha256();
    } catch (const AppError&) {
    }
    // With arguments the program runs one job, or says how, and ends without a window.
    const Command command = ParseCommandLine(ProgramArguments());
    if (command.RunsJob())
        return RunCommand(command);
    if (command.kind == CommandKind::RestoreWizard)
        RunEventHandler([&] { MainRestore(command.path); });
    else
        RunEventHandler([] { Main(); });
    return RunMessageLoop();
}
