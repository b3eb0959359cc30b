#pragma once
// Start-up.

#include <string>

// The program's start: lets pending window messages run twice, puts right a backup or
// restore that was killed (see JobRecovery) and shows the main menu without waiting.
// Returns at once; the process lives on in the message loop.
void Main();

// The same start, but straight into the restore wizard on its choice of a marker file,
// with marker chosen: what a restart with administrator rights opens.
void MainRestore(const std::wstring& marker);

// Runs the thread's message loop until the program ends. Returns the exit code.
int RunMessageLoop();
