#include "runtime/EndProgram.h"

#include <windows.h>

namespace {

EndProgramHook& Hook() {
    static EndProgramHook hook;
    return hook;
}

}  // namespace

void EndProgram() {
    if (Hook())
        Hook()();
    ExitProcess(0);
}

EndProgramHook SetEndProgramHook(EndProgramHook hook) {
    EndProgramHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
