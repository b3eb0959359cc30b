// The process's entry point.
#include <windows.h>

#include "app/CommandJobs.h"
#include "app/CommandLine.h"
#include "app/Module1.h"
#include "runtime/EventGuard.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // With arguments the program runs one job, or says how, and ends without a window.
    if (Command command = ParseCommandLine(ProgramArguments()); command.RunsJob())
        return RunCommand(command);
    RunEventHandler([] { Main(); });
    return RunMessageLoop();
}
