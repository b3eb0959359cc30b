#pragma once
// Named points a job passes: a step of its journal written, an entry set aside, a file
// copied. The program does nothing there; tests stop a job at one of them, as a crash or
// a power cut would, and look at what the next start makes of it. The points may be
// passed on any thread.

#include <functional>

void PassStage(const char* name);

// The hook runs at every point passed; an empty function removes it. Set it before a job
// starts, never while one runs. Returns the previous hook.
using StageHook = std::function<void(const char* name)>;
StageHook SetStageHook(StageHook hook);
