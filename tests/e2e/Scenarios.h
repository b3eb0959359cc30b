#pragma once
// What a user does with the program, from the main menu to the end, each checked on disk.

#include <string>

#include "Screenshot.h"

struct RunOptions {
    std::wstring exePath;
    // The sample game data to lend the game folder for this run; empty: use the game
    // folder as it is and change nothing in it but what a restore writes.
    std::wstring sampleFolder;
    bool useOpenDialog = false;  // choose the marker in the open-file dialog, not by typing
    unsigned bigFileMiB = 0;     // the cancel walk: one file this big instead of many small ones
};

// Opens the main menu, checks it and ends the program with its "Cancel".
void MainMenuScenario(const RunOptions& options, ScreenshotLog& shots);
// A whole backup into a fresh folder, then the set checked against the game folder.
void BackupScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
// A whole backup whose finish panel sets up a daily backup: the task must be registered
// and, under Wine, its crontab line shown and on the clipboard.
void DailyBackupScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
// A whole restore from the marker, then the game folder checked against the set.
void RestoreScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& markerPath);
// A backup, changes to the game data (only with sample data), and a restore from the new marker.
// Backup, changes, a restore, then a restore of the safety set that restore left: the
// game folder must be byte for byte as it was before the first restore.
void BackupRestoreUndoScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
void BackupRestoreScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
// A backup into an earlier set and then a restore, each killed in the middle of its copy
// (TerminateProcess) and the program started again: it must say what it put right, and
// the set, then the game folder, must be byte for byte as before the killed job.
void KillScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
// A backup into an empty folder, cancelled in the middle of its copy: Cancel must answer
// at once, and the program end with the folder empty again. With a big file given, the
// Cancel comes in the middle of that one file.
void CancelScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
// With the keyboard alone: Esc in a wizard ends the program; then a whole backup and,
// after changes to the game data, a whole restore, each checked on disk.
void KeyboardScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
// A restore from a set made by someone else, whose list of added files names a file
// outside the game folder: the wizard refuses it with the list, the line and its number,
// says NOT complete, and the game folder, the set and the victim folder stay as they were.
void CraftedSetScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder);
