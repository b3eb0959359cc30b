#include "engine/journal/JobRecovery.h"

#include <algorithm>
#include <cwchar>

#include "engine/game/GameLayout.h"
#include "engine/journal/JobLock.h"
#include "engine/sets/EarlierSet.h"
#include "engine/sets/SafetySets.h"
#include "engine/sets/SetManifest.h"
#include "engine/sets/SetVerify.h"
#include "engine/staging/BackupStaging.h"
#include "engine/staging/RestoreRights.h"
#include "engine/staging/RestoreStaging.h"
#include "files/DirSearch.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "files/PerUserCopy.h"

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
    FileResult put = RecoverEarlierSet(entry.setFolder, recovery.refused);
    if (put.Ok())
        put = RecoverStagedBackup(entry.setFolder, recovery.refused, &finished);
    if (!put.Ok()) {
        recovery.failure = put;
        recovery.keptAt = entry.setFolder;
        return;
    }
    recovery.finished = finished;
    recovery.emptyFolder = !finished && !game::HoldsGameData(entry.setFolder);
    // A dated set's folder made for the backup goes with it, if nothing else is in it.
    if (recovery.emptyFolder && entry.madeSetFolder)
        RemoveDirectoryW(LongPath(entry.setFolder).c_str());
}

void RecoverRestore(const JournalEntry& entry, Recovery& recovery) {
    if (FileResult rights = CheckRestoreRights(entry.gameFolder, entry.perUserCopy); !rights.Ok()) {
        recovery.failure = rights;
        recovery.keptAt = entry.safetySet;
        recovery.needsRights = true;
        return;
    }
    std::vector<SwapLayer> layers = RestoreLayers(entry.gameFolder, entry.perUserCopy, entry.safetySet);
    const bool forward = entry.stage == JournalStage::Swapping || entry.stage == JournalStage::Committing;
    // A restore said to stand is finished from its list all the same: the journal is on
    // C:, the game folder's renames may lie on a volume whose own log had not reached its
    // disk. Going forward again is safe to repeat, and costs little.
    if (entry.stage != JournalStage::Copying) {
        if (FileResult swapped = StagedSwap::RunListed(layers, DataName::Plain, forward, recovery.refused);
            !swapped.Ok()) {
            recovery.failure = swapped;
            recovery.keptAt = entry.safetySet;
            return;
        }
    }
    (void)RemoveRestoreStaging(layers);  // what stays is refused before the next copy
    if (forward) {
        // The restore stood whole: only its safety set's manifest and the pruning of old
        // safety sets may be left. A manifest that cannot be written now leaves the set as
        // earlier releases made them: it restores, unchecked.
        recovery.finished = true;
        if (!EntryExists(game::Entry(entry.safetySet, SetManifest::FileName)))
            (void)WriteSetManifest(entry.safetySet);
        PruneSafetySets(SafetySetRoot(entry.gameFolder), SafetySetsKept, entry.setFolder);
        return;
    }
    // Nothing of the restore is in place: its safety set holds nothing but its marker.
    (void)DeleteTree(entry.safetySet);
    if (entry.madeSafetySetRoot)
        RemoveDirectoryW(LongPath(SafetySetRoot(entry.gameFolder)).c_str());
}

// A folder as a job writes it into its journal: a full path on a drive or a share, with no
// "." or ".." part, no device or long-path form.
bool IsPlainFullPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\", 0) == 0 || path.rfind(L"\\\\.\\", 0) == 0 || !IsFullPath(path))
        return false;
    if (std::any_of(path.begin(), path.end(), [](wchar_t c) { return c < 0x20 || std::wcschr(L"*?\"<>|/", c); }))
        return false;
    for (size_t start = 0; start <= path.size();) {
        size_t cut = std::min(path.find(L'\\', start), path.size());
        std::wstring_view part(path.data() + start, cut - start);
        if (part == L"." || part == L"..")
            return false;
        start = cut + 1;
    }
    return true;
}

bool IsSameFolderAs(const std::wstring& a, const std::wstring& b) {
    return IsSameOrInsideFolder(a, b) && IsSameOrInsideFolder(b, a);
}

// Whether the journal names the job's own folders only (see JobRecovery.h).
bool NamesOwnFolders(const JournalEntry& entry, const std::vector<std::wstring>& gameFolders) {
    for (const std::wstring* folder : {&entry.gameFolder, &entry.setFolder, &entry.perUserCopy, &entry.safetySet}) {
        if (!folder->empty() && !IsPlainFullPath(*folder))
            return false;
    }
    if (std::none_of(gameFolders.begin(), gameFolders.end(),
                     [&](const std::wstring& game) { return IsSameFolderAs(entry.gameFolder, game); }))
        return false;
    if (!entry.perUserCopy.empty() && !IsSameFolderAs(entry.perUserCopy, PerUserCopyPath(entry.gameFolder)))
        return false;
    if (entry.kind == JobKind::Backup)
        return entry.safetySet.empty();
    return IsSafetySetOf(entry.gameFolder, entry.safetySet);
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

// Where the journal of an interrupted backup waits for its set folder: beside the journal.
std::wstring WaitingPrefix(const std::wstring& journalPath) { return journalPath + L" (waiting for its folder "; }

std::vector<std::wstring> WaitingJournals(const std::wstring& journalPath) {
    const std::wstring prefix = WaitingPrefix(journalPath);
    const std::wstring folder = journalPath.substr(0, journalPath.find_last_of(L'\\'));
    const std::wstring namePrefix = prefix.substr(folder.size() + 1);
    std::vector<std::wstring> found;
    for (const DirEntry& entry : DirSearch::Everything(folder)) {
        if (!entry.IsFolder() && entry.name.rfind(namePrefix, 0) == 0)
            found.push_back(folder + L"\\" + entry.name);
    }
    return found;
}

// Sets the journal aside to wait; false when it cannot be (it then stays where it is).
bool SetAsideToWait(const std::wstring& journalPath) {
    for (int n = 1; n < 1000; ++n) {
        std::wstring aside = WaitingPrefix(journalPath) + std::to_wstring(n) + L")";
        if (EntryExists(aside))
            continue;
        return RenameEntryDurably(journalPath, aside).Ok();
    }
    return false;
}

bool SetFolderThere(const JournalEntry& entry) { return IsExistingFolder(LongPath(entry.setFolder)); }

// Acts on one journal (see RecoverInterruptedJob). mayWait: a backup whose set folder is
// not there is set aside to wait rather than failing.
Recovery RecoverJournal(const std::wstring& path, const std::vector<std::wstring>& gameFolders, bool mayWait) {
    Recovery recovery;
    JobJournal journal(path);
    JournalEntry entry;
    switch (journal.Read(entry)) {
    case JobJournal::Found::Nothing:
        // A first journal whose writing was cut short: its job had changed nothing.
        DeleteFileW((path + L".new").c_str());
        return recovery;
    case JobJournal::Found::Unreadable:
        recovery.found = Recovery::Found::Unreadable;
        KeepUnreadable(journal, recovery);
        return recovery;
    case JobJournal::Found::Entry:
        break;
    }
    if (!NamesOwnFolders(entry, gameFolders)) {
        recovery.found = Recovery::Found::Unreadable;
        recovery.foreign = true;
        KeepUnreadable(journal, recovery);
        return recovery;
    }
    if (mayWait && entry.kind == JobKind::Backup && !SetFolderThere(entry) && SetAsideToWait(path))
        return recovery;
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

}  // namespace

Recovery RecoverInterruptedJob(const std::wstring& journalPath, const std::vector<std::wstring>& gameFolders) {
    Recovery recovery;
    if (journalPath.empty())
        return recovery;
    JobLock lock;
    if (!lock.Held()) {
        recovery.found = Recovery::Found::Busy;
        return recovery;
    }
    recovery = RecoverJournal(journalPath, gameFolders, true);
    std::vector<Recovery::Waiting> waiting;
    for (const std::wstring& aside : WaitingJournals(journalPath)) {
        JournalEntry entry;
        if (JobJournal(aside).Read(entry) != JobJournal::Found::Entry)
            continue;
        // One journal acted on a time: the next job or start takes the next.
        if (recovery.found == Recovery::Found::Nothing && SetFolderThere(entry)) {
            recovery = RecoverJournal(aside, gameFolders, false);
            continue;
        }
        waiting.push_back({entry.setFolder, aside});
    }
    recovery.waiting = std::move(waiting);
    return recovery;
}
