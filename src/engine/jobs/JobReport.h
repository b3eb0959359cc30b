#pragma once
// What a backup or restore job did: whether it stands whole, was refused before it
// changed anything, or failed and was undone; which folders it copied whole and which
// not, with the first file concerned and the platform's error where known.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/input/RefusedInput.h"
#include "engine/journal/JobRecovery.h"
#include "files/DiskSpace.h"

struct CopyFailure {
    std::wstring item;       // the folder or file concerned (for a copy, its source path)
    std::wstring firstFile;  // the first file missing or differing at the destination
    DWORD error = ERROR_SUCCESS;
};

enum class JobOutcome {
    Whole,           // everything was copied and stands
    NotStarted,      // refused before anything was changed
    RolledBack,      // failed; everything it had changed is as it was before
    RollbackFailed,  // failed, and the earlier data could not all be put back (see keptAt)
};

// Where a job stopped, beyond the folder copies that folderFailures lists.
enum class JobStage {
    None,
    Busy,           // another running program is backing up or restoring
    Journal,        // the job's journal could not be written
    Recover,        // what an interrupted job left could not be put right first
    LeftOver,       // a staging folder an earlier job left could not be removed
    NoGameFolder,   // no game folder was found, nor chosen by the player
    GameFolder,     // backup: no game folder; restore: the game folder could not be made
    SetInsideGame,  // restore: the set lies inside the game data it would replace
    Rights,         // restore: this user may not write in a folder the restore writes in
    NotInSet,       // restore: a name chosen that the set does not hold (failure.item: the name)
    SafetyMarker,   // restore: the safety set's marker could not be written
    Space,          // not enough room for what the job would write (space)
    Folders,        // a folder copy was not whole (folderFailures)
    Changed,        // a file kept changing while it was read (failure.item: its name in the data)
    Flush,          // the copies could not be made durable
    Config,         // the configuration file exists but could not be copied
    Marker,         // backup: the marker could not be written or read back
    Damaged,        // restore: files of the set are not what its manifest says (damaged)
    Untrusted,      // a list in the set this program did not write, or a link in it (refused)
    Manifest,       // restore: the set's manifest or list of added files is there but cannot be read
    Swap,           // the new data could not be swapped into place
};

enum class ConfigCopy { NotTried, Copied, Missing, Failed };

struct JobReport {
    JobOutcome outcome = JobOutcome::Whole;
    JobStage failedAt = JobStage::None;
    CopyFailure failure;  // what stopped the job, for any stage but Folders

    std::vector<std::wstring> copiedFolders;   // source folders copied whole
    std::vector<CopyFailure> folderFailures;  // source folders not copied whole
    ConfigCopy config = ConfigCopy::NotTried;

    bool earlierSet = false;   // backup: the set folder held a set before
    std::uint64_t filesLinked = 0;  // backup: new files made hard links to an earlier set's
    std::uint64_t filesCopied = 0;  // files copied (links not counted); restore: files restored
    std::wstring marker;       // backup: the set's marker, once written and read back
    std::wstring safetySet;    // restore: the folder that keeps the data from before
    std::wstring safetyMarker;  // restore: that safety set's marker
    std::wstring gameFolder;   // the game folder the job worked on
    std::wstring perUserCopy;  // Windows' per-user copy of the game folder, where it was used
    std::wstring keptAt;       // Recover, RollbackFailed: where the earlier data now lies
    CopyFailure rollbackFailure;
    // What an interrupted job had left and what was done about it before this job began:
    // from the journal, or (setRecovered) an interrupted backup in the set folder itself.
    Recovery recovery;
    bool setRecovered = false;

    // Space: where the room was short, and how much the job needed.
    VolumeSpace space;
    std::uint64_t bytesNeeded = 0;
    // Untrusted, or Recover by the set folder: what the job would not act on.
    std::optional<RefusedInput> refused;
    // Damaged: the set's files that differ from its manifest or are missing.
    std::vector<std::wstring> damaged;
    // Restore: the set's files its manifest does not list, which it did not restore.
    std::vector<std::wstring> leftOut;
    // Restore: the safety set's manifest, where it could not be written (the data is there).
    FileResult safetyManifest;

    bool Whole() const { return outcome == JobOutcome::Whole; }
    bool FoldersWhole() const { return folderFailures.empty(); }
};
