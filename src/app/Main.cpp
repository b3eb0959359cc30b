// The process's entry point.
#include <windows.h>

#include "app/Module1.h"
#include "runtime/EventGuard.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    RunEventHandler([] { Main(); });
    return RunMessageLoop();
}
