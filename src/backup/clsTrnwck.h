#pragma once
// The game's data: runs the backup and restore jobs for the wizards, moving the running
// wizard on between the stages and telling the user what could not be copied.

#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "backup/JobWizard.h"
#include "engine/jobs/RestoreChoice.h"

class clsTrnwck {
public:
    // Puts right what a backup or restore left that the program did not see end (it was
    // ended, or the computer went off), and tells the player what was found and done.
    // The start of the program calls it before the main menu takes a click.
    enum class PutRight { Done, NeedsRights };  // NeedsRights: a restore this user may not put right
    static PutRight PutRightInterruptedJob();

    // Copies the game data into the backup set in setFolder.
    JobReport BackupTrnwck(JobWizard& wizard, const std::wstring& setFolder);
    // Copies the backup set in setFolder back into the game folder: what choice takes of it.
    JobReport RestoreTrnwck(JobWizard& wizard, const std::wstring& setFolder, const RestoreChoice& choice = {});

private:
    // Where the job finds the game: where it is installed (see GameLocation.h), else a
    // folder the player chooses after being asked; nothing when there is none.
    static std::optional<std::wstring> GameFolderForJob(JobWizard& wizard, bool backup);

    // One step of a breadth-first walk of a folder tree: takes the first folder of the
    // collection (starting it with strFolder), appends its sub-folders and counts
    // folders and files. Kept for a future use; no flow calls it.
    std::deque<std::wstring>& ScanFolderLevel(const std::wstring& strFolder, long& lngFolders, long& lngFiles);

    std::unique_ptr<std::deque<std::wstring>> folders_;

    friend class clsTrnwckScanTest;
};
