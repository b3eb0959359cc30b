#pragma once
// The two values the whole process shares: the wizards set them, the engines read them.

#include <string>

// The backup wizard's step, 0 to 5; the backup engine reads it afresh at each test.
extern short BackupStep;

// The folder that holds a backup set's data: set by the backup wizard, or by the
// restore wizard from a marker file. Used exactly as stored.
extern std::wstring BackupLocation;
