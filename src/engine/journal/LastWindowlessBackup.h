#pragma once
// The outcome of the last backup that ran without a window (the daily task's, the one
// after /play, any /backup from the command line), kept beside the log so that a failure
// does not pass in silence: the main menu shows it at every start until a backup
// completes, and /schedule reports it. The file is written whole or not at all (under a
// temporary name, flushed, renamed), and one that is damaged or cut short is ignored as
// if there were none.
//
// Format, UTF-8, one key a line, all of them, in this order:
//   Backup Tarnwick last windowless backup
//   time=2026-12-08 21:00:05        local time of the run
//   folder=D:\Tarnwick backups
//   exit=1                          the command line's exit code, 0 to 3
//   reason=...                      why it failed; empty when whole
//   line=...                        the line it printed
//   completedSince=0                1 once a backup of any kind completed after it

#include <windows.h>

#include <optional>
#include <string>

#include "files/FileOps.h"

struct WindowlessBackup {
    SYSTEMTIME time{};  // local
    std::wstring folder;
    int exitCode = 0;
    std::wstring reason;
    std::wstring line;
    bool completedSince = false;

    // Failed, and no backup has completed since: what the menu tells.
    bool FailureStands() const { return exitCode != 0 && !completedSince; }
};

// %LOCALAPPDATA%\Glimmerfen Studios\Backup Tarnwick\last windowless backup.txt
std::wstring LastWindowlessBackupPath();

FileResult RecordWindowlessBackup(const std::wstring& path, const WindowlessBackup& backup);

// Nothing for a file that is missing, damaged or cut short.
std::optional<WindowlessBackup> ReadWindowlessBackup(const std::wstring& path);

// A backup completed (from the wizard or the command line): a failure recorded before no
// longer stands. A failure to write is let pass: the line then shows once more.
void NoteBackupCompleted(const std::wstring& path);
