#pragma once
// Runs the job a command line asks for, without any window: the same engine, checks,
// journal, marker and safety sets as the wizards. It says what it did in one line, on
// the console and in the log, and ends with an exit code for scripts:
//
//   0  the job is whole
//   1  refused before anything was changed (arguments, folders, no game folder, the
//      marker, room)
//   2  failed, and everything it changed was put back
//   3  failed, and not everything could be put back (the line says where the data lies)

#include <string>
#include <vector>

#include "app/CommandLine.h"

enum ExitCode : int { ExitWhole = 0, ExitRefused = 1, ExitUndone = 2, ExitNotPutBack = 3 };

struct CommandOutcome {
    int exitCode = ExitWhole;
    std::wstring line;
    // Printed last, on a line of its own, for a script to take as it stands (the crontab
    // line: `bkTrnwck.exe /schedule ... | tail -n 1`); the log has it after the line.
    std::wstring ownLine = {};
    // Printed first, a line each, for the player to read (a preview's changes, the sets);
    // the log keeps only the line.
    std::vector<std::wstring> listing = {};
    // A backup's: its folder (kept as the last windowless backup's outcome), and why it
    // failed ("" when whole).
    std::wstring backupFolder = {};
    std::wstring why = {};
};

// The job alone: its exit code and its line; nothing is printed or logged.
CommandOutcome RunCommandJob(const Command& command);

// The whole run: the job (or the usage), its line printed and logged. No message box
// shows meanwhile: one with nobody at the screen would hold a scheduled task for good.
int RunCommand(const Command& command);
