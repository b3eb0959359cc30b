#pragma once
// Ending the program at once: Cancel and Finish stop the process where it stands,
// without any window's closing handling, even in the middle of a copy.

#include <functional>

[[noreturn]] void EndProgram();

// Tests turn the end into something they can observe: the hook runs first and is
// expected to leave by throwing. Should it return, the process still ends.
using EndProgramHook = std::function<void()>;
EndProgramHook SetEndProgramHook(EndProgramHook hook);
