#pragma once
// Start-up, and the two values the whole process shares.

#include <string>

// The backup wizard's step, 0 to 5; the backup engine reads it afresh at each test.
extern short BackupStep;

// The folder that holds a backup set's data: set by the backup wizard, or by the
// restore wizard from a marker file. Used exactly as stored.
extern std::wstring BackupLocation;

// The program's start: lets pending window messages run twice and shows the main
// menu without waiting. Returns at once; the process lives on in the message loop.
void Main();

// Runs the thread's message loop until the program ends. Returns the exit code.
int RunMessageLoop();
