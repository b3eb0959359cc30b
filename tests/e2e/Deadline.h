#pragma once
// The time limit of the whole run. Waits end at it, so that a run out of time fails like any
// other (the program ended, the game folder put back) before the watchdog has to step in.

#include <windows.h>

void SetRunDeadline(DWORD fromNowMs);
// The smaller of the wait's own limit and the time left of the run.
DWORD LimitToDeadline(DWORD timeoutMs);
