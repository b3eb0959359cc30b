#include "engine/JobRecovery.h"

#include "engine/BackupMarker.h"
#include "engine/EarlierSet.h"
#include "engine/JobLock.h"
#include "engine/SafetySets.h"
#include "engine/SetAside.h"
#include "files/ExistingFolder.h"

namespace {

void RecoverBackup(const JournalEntry& entry, Recovery& recovery) {
    // A set folder on a drive that is not there now is left for a later start.
    if (!IsExistingFolder(LongPath(entry.setFolder))) {
        recovery.failure = FileResult::Failure(ERROR_PATH_NOT_FOUND, entry.setFolder);
        recovery.keptAt = entry.setFolder;
        return;
    }
    BackupJournalFacts facts;
    facts.committed = entry.stage == JournalStage::Committing;
    facts.taken = entry.stage == JournalStage::Copying;
    facts.held = entry.held;
    recovery.finished = facts.committed;
    recovery.emptyFolder = facts.taken && entry.held.empty();
    if (FileResult back = RecoverEarlierSet(entry.setFolder, &facts); !back.Ok()) {
        recovery.failure = back;
        recovery.keptAt = InterruptedHolding(entry.setFolder);
        return;
    }
    if (entry.marker.empty())
        return;
    if (facts.committed)
        DeleteFileW((entry.marker + L".new").c_str());
    else
        MarkerSnapshot::Decode(entry.marker, entry.markerBefore).Restore();
}

void RecoverRestore(const JournalEntry& entry, Recovery& recovery) {
    if (entry.stage == JournalStage::Committing) {
        // The restore stood whole: only the pruning of old safety sets may be left.
        recovery.finished = true;
        PruneSafetySets(SafetySetRoot(entry.gameFolder), SafetySetsKept, entry.setFolder);
        return;
    }
    bool taken = entry.stage == JournalStage::Copying;
    SetAside game(entry.gameFolder, entry.safetySet);
    SetAside perUser(entry.perUserCopy, entry.perUserLayer);
    if (taken) {
        game.Adopt(entry.held, true);
        perUser.Adopt(entry.heldPerUser, true);
    } else {
        game.AdoptHeld(false);
        perUser.AdoptHeld(false);
    }
    for (SetAside* aside : {&perUser, &game}) {
        if (FileResult back = aside->PutBack(); !back.Ok()) {
            recovery.failure = back;
            recovery.keptAt = entry.safetySet;
            return;
        }
    }
    // All is back: the safety set holds only its marker now.
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
