#include "engine/BackupJob.h"

#include "engine/BackupMarker.h"
#include "engine/CopySteps.h"
#include "engine/EarlierSet.h"
#include "engine/GameLayout.h"
#include "engine/JobCopy.h"
#include "engine/JobLock.h"
#include "engine/SetAside.h"
#include "files/ExistingFolder.h"
#include "runtime/StageHook.h"

BackupJob::BackupJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy, std::wstring journal)
    : gameFolder_(std::move(gameFolder)),
      setFolder_(std::move(setFolder)),
      perUserCopy_(std::move(perUserCopy)),
      journal_(std::move(journal)) {}

std::wstring BackupJob::HoldingFolder(const std::wstring& setFolder) {
    return EarlierSetFolder(setFolder, EarlierSetState::Kept);
}

JobReport BackupJob::Run(JobEvents& events) {
    JobReport report;
    JobLock lock;
    if (!lock.Held())
        return Refuse(events, report, JobStage::Busy, FileResult::Failure(ERROR_BUSY, setFolder_));
    // Nothing to back up is not a backup: no copies, no marker, nothing touched.
    if (!IsExistingFolder(gameFolder_))
        return Refuse(events, report, JobStage::GameFolder, FileResult::Failure(ERROR_PATH_NOT_FOUND, gameFolder_));
    if (FileResult recovered = PutRightFirst(journal_, setFolder_, report); !recovered.Ok())
        return Refuse(events, report, JobStage::Recover, recovered);

    JobJournal journal(journal_);
    JournalEntry entry{.kind = JobKind::Backup,
                       .gameFolder = gameFolder_,
                       .setFolder = setFolder_,
                       .perUserCopy = perUserCopy_,
                       .marker = MarkerPathToday(setFolder_)};
    entry.markerBefore = MarkerSnapshot(entry.marker).Encode();
    if (FileResult written = journal.Write(entry); !written.Ok())
        return Refuse(events, report, JobStage::Journal, written);
    PassStage("journal written");

    SetAside aside(setFolder_, EarlierSetFolder(setFolder_, EarlierSetState::BeingSetAside));
    JobStage refusal = JobStage::SetAside;
    FileResult taken = aside.Take();
    if (taken.Ok())
        taken = aside.MoveHolding(HoldingFolder(setFolder_));
    if (taken.Ok()) {
        entry.stage = JournalStage::Copying;
        entry.held = aside.Held();
        refusal = JobStage::Journal;
        taken = journal.Write(entry);
    }
    if (!taken.Ok()) {
        // Nothing is copied yet: the entries set aside simply go back.
        if (aside.ReplaceHeld().Ok()) {
            (void)DeleteTree(aside.Holding());
            (void)journal.Remove();
        }
        return Refuse(events, report, refusal, taken);
    }
    PassStage("copying");
    report.earlierSet = aside.HeldAny();

    JobCopy copy(events);
    try {
        CopyAll(copy, aside, events, report);
        if (report.failedAt == JobStage::None && Commit(entry, journal, report)) {
            // The new set stands: the earlier one may go.
            FileResult released =
                copy.Run(JobActivity::Finishing, [&] { return ReleaseEarlierSet(setFolder_, aside.Holding()); });
            // Unreleased, it waits under its name for the next start, which the journal tells to finish.
            if (released.Ok())
                (void)journal.Remove();
        }
    } catch (...) {
        Undo(copy, aside, journal, entry, report);
        throw;
    }
    if (report.failedAt != JobStage::None)
        Undo(copy, aside, journal, entry, report);
    events.Finished(report);
    return report;
}

void BackupJob::CopyAll(JobCopy& copy, const SetAside& aside, JobEvents& events, JobReport& report) const {
    std::size_t folderEnds[std::size(game::FolderNames)] = {};
    std::vector<std::pair<std::wstring, std::size_t>> overlays;
    std::size_t configEnd = 0;
    bool configFound = false;
    bool perUserConfig = false;
    std::wstring listingFolder;
    FileResult listing;
    JobStage listingStage = JobStage::Folders;
    copy.List([&](CopyPlan& plan) {
        for (size_t i = 0; i < std::size(game::FolderNames) && listing.Ok(); ++i) {
            listingFolder = game::Entry(gameFolder_, game::FolderNames[i]);
            listing = plan.AddFolder(gameFolder_, game::FolderNames[i], setFolder_);
            folderEnds[i] = plan.End();
        }
        // What the game itself reads: a file of the per-user copy before the game folder's.
        for (const wchar_t* name : game::FolderNames) {
            std::wstring overlay = game::Entry(perUserCopy_, name);
            if (!listing.Ok() || perUserCopy_.empty() || !IsExistingFolder(LongPath(overlay)))
                continue;
            listingFolder = overlay;
            listing = plan.AddOverlay(perUserCopy_, name, setFolder_);
            overlays.emplace_back(overlay, plan.End());
        }
        perUserConfig = !perUserCopy_.empty() && plan.AddFile(perUserCopy_, game::ConfigName, setFolder_);
        configFound = perUserConfig || plan.AddFile(gameFolder_, game::ConfigName, setFolder_);
        configEnd = plan.End();
        if (listing.Ok()) {
            listingStage = JobStage::BringBack;
            listing = plan.AddMissing(aside.Holding(), setFolder_);
        }
    });
    if (ListingFailed(listing, listingStage, listingFolder, report)) {
        events.FoldersCopied(report);
        return;
    }
    if (perUserConfig)
        report.perUserCopy = perUserCopy_;
    for (size_t i = 0; i < std::size(game::FolderNames); ++i) {
        if (!CopyFolderStage(copy, folderEnds[i], report))
            break;
        report.copiedFolders.push_back(game::Entry(gameFolder_, game::FolderNames[i]));
        events.Checkpoint();
    }
    for (const auto& [overlay, end] : overlays) {
        if (!report.FoldersWhole() || !CopyFolderStage(copy, end, report))
            break;
        report.copiedFolders.push_back(overlay);
        report.perUserCopy = perUserCopy_;
        events.Checkpoint();
    }
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    if (configFound)
        CopyConfigStage(copy, configEnd, report);
    else
        report.config = ConfigCopy::Missing;
    events.Checkpoint();
    if (report.failedAt == JobStage::None)
        CopyRestAndFlush(copy, copy.Plan().End(), report);
}

// The new copy is whole and on the disk: the marker is written and read back, and the
// journal says so, after which the backup is no longer undone but finished.
bool BackupJob::Commit(JournalEntry& entry, JobJournal& journal, JobReport& report) const {
    std::wstring marker = WriteMarker(setFolder_);
    if (!MarkerReadsBack(marker, setFolder_)) {
        NoteFailure(report, JobStage::Marker, FileResult::Failure(ERROR_WRITE_FAULT, marker));
        return false;
    }
    PassStage("marker written");
    entry.stage = JournalStage::Committing;
    if (FileResult written = journal.Write(entry); !written.Ok()) {
        NoteFailure(report, JobStage::Journal, written);
        return false;
    }
    PassStage("committing");
    report.marker = marker;
    return true;
}

void BackupJob::Undo(JobCopy& copy, SetAside& aside, JobJournal& journal, const JournalEntry& entry,
                     JobReport& report) const {
    report.marker.clear();
    FileResult back = copy.Run(JobActivity::Undoing, [&] { return PutEarlierSetBack(setFolder_, aside); });
    MarkerSnapshot::Decode(entry.marker, entry.markerBefore).Restore();
    if (!back.Ok()) {
        // What could not go back stays where it was kept; the journal tells the next start.
        report.outcome = JobOutcome::RollbackFailed;
        report.keptAt = aside.Holding();
        report.rollbackFailure = {ShownPath(back.path), ShownPath(back.path), back.error};
        return;
    }
    report.outcome = JobOutcome::RolledBack;
    (void)journal.Remove();
}
