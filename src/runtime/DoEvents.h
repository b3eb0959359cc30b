#pragma once
// Yielding to the window system: long work on the one user-interface thread lets
// pending window messages (painting, a click on Cancel) run at fixed points.

#include <functional>

// Handles every message waiting in this thread's queue, then returns.
void DoEvents();

// The usual pause of long work: three yields in a row.
void YieldThreeTimes();

// Yields run so far in this process; tests compare counts before and after a call.
long YieldCount();

// Called at every yield after the pending messages ran (tests act there as a user
// would between two steps). An empty function removes it. Returns the previous one.
using YieldHook = std::function<void()>;
YieldHook SetYieldHook(YieldHook hook);
