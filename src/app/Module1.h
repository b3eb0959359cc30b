#pragma once
// Start-up.

// The program's start: lets pending window messages run twice, puts right a backup or
// restore that was killed (see JobRecovery) and shows the main menu without waiting.
// Returns at once; the process lives on in the message loop.
void Main();

// Runs the thread's message loop until the program ends. Returns the exit code.
int RunMessageLoop();
