#include "engine/JobRecovery.h"

#include "engine/BackupStaging.h"
#include "engine/EarlierSet.h"
#include "engine/GameLayout.h"
#include "engine/JobLock.h"
#include "engine/RestoreJob.h"
#include "engine/SafetySets.h"
#include "files/ExistingFolder.h"

namespace {

void RecoverBackup(const JournalEntry& entry, Recovery& recovery) {
    // A set folder on a drive that is not there now is left for a later start.
    if (!IsExistingFolder(LongPath(entry.setFolder))) {
        recovery.failure = FileResult::Failure(ERROR_PATH_NOT_FOUND, entry.setFolder);
        recovery.keptAt = entry.setFolder;
        return;
    }
    // The set folder's own staging and keeping folders say how far the backup got.
    bool finished = entry.stage == JournalStage::Committing;
    FileResult put = RecoverEarlierSet(entry.setFolder);
    if (put.Ok())
        put = RecoverStagedBackup(entry.setFolder, &finished);
    if (!put.Ok()) {
        recovery.failure = put;
        recovery.keptAt = entry.setFolder;
        return;
    }
    recovery.finished = finished;
    recovery.emptyFolder = !finished && !game::HoldsGameData(entry.setFolder);
}

// Runs the swap the restore listed, forward or back; a list that is gone went with a
// swap that had run to its end.
FileResult RunListedSwap(const std::vector<SwapLayer>& layers, bool forward) {
    std::wstring listPath = SwapListPath(layers[0].staging);
    if (!EntryExists(listPath))
        return FileResult::Success();
    std::string list;
    std::vector<SwapEntry> entries;
    if (!ReadWholeFile(listPath, list) || !StagedSwap::Decode(list, entries))
        return FileResult::Failure(ERROR_FILE_CORRUPT, listPath);
    StagedSwap swap(layers, std::move(entries));
    return forward ? swap.Forward() : swap.Backward();
}

void RecoverRestore(const JournalEntry& entry, Recovery& recovery) {
    std::vector<SwapLayer> layers = RestoreJob::Layers(entry.gameFolder, entry.perUserCopy, entry.safetySet);
    const bool forward = entry.stage == JournalStage::Swapping || entry.stage == JournalStage::Committing;
    if (entry.stage == JournalStage::Swapping || entry.stage == JournalStage::Unswapping) {
        if (FileResult swapped = RunListedSwap(layers, forward); !swapped.Ok()) {
            recovery.failure = swapped;
            recovery.keptAt = entry.safetySet;
            return;
        }
    }
    RestoreJob::RemoveStaging(layers);
    if (forward) {
        // The restore stood whole: only the pruning of old safety sets may be left.
        recovery.finished = true;
        PruneSafetySets(SafetySetRoot(entry.gameFolder), SafetySetsKept, entry.setFolder);
        return;
    }
    // Nothing of the restore is in place: its safety set holds nothing but its marker.
    (void)DeleteTree(entry.safetySet);
    if (entry.madeSafetySetRoot)
        RemoveDirectoryW(LongPath(SafetySetRoot(entry.gameFolder)).c_str());
}

// A journal that cannot be read is kept aside for a person to look at; the next job
// writes a journal of its own.
void KeepUnreadable(const JobJournal& journal, Recovery& recovery) {
    std::wstring aside = journal.Path() + L" (unreadable)";
    (void)DeleteTree(aside);
    FileResult moved = RenameEntry(journal.Path(), aside);
    recovery.keptAt = moved.Ok() ? aside : journal.Path();
    recovery.failure = moved;
}

}  // namespace

Recovery RecoverInterruptedJob(const std::wstring& journalPath) {
    Recovery recovery;
    if (journalPath.empty())
        return recovery;
    JobLock lock;
    if (!lock.Held()) {
        recovery.found = Recovery::Found::Busy;
        return recovery;
    }
    JobJournal journal(journalPath);
    JournalEntry entry;
    switch (journal.Read(entry)) {
    case JobJournal::Found::Nothing:
        // A first journal whose writing was cut short: its job had changed nothing.
        DeleteFileW((journalPath + L".new").c_str());
        return recovery;
    case JobJournal::Found::Unreadable:
        recovery.found = Recovery::Found::Unreadable;
        KeepUnreadable(journal, recovery);
        return recovery;
    case JobJournal::Found::Entry:
        break;
    }
    recovery.found = Recovery::Found::Job;
    recovery.kind = entry.kind;
    recovery.gameFolder = entry.gameFolder;
    recovery.setFolder = entry.setFolder;
    if (entry.kind == JobKind::Backup)
        RecoverBackup(entry, recovery);
    else
        RecoverRestore(entry, recovery);
    if (recovery.failure.Ok())
        recovery.failure = journal.Remove();
    return recovery;
}
