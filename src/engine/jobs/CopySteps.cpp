#include "engine/jobs/CopySteps.h"

#include <map>

#include "engine/game/GameLayout.h"
#include "engine/game/GameLocation.h"
#include "engine/sets/EarlierSet.h"
#include "engine/staging/BackupStaging.h"
#include "runtime/AppError.h"
#include "runtime/StageHook.h"

JobReport Refuse(JobEvents& events, JobReport report, JobStage stage, const FileResult& result) {
    report.outcome = JobOutcome::NotStarted;
    NoteFailure(report, stage, result);
    events.FoldersCopied(report);
    events.Finished(report);
    return report;
}

JobReport RefuseInput(JobEvents& events, JobReport report, const RefusedInput& refused) {
    report.refused = refused;
    return Refuse(events, std::move(report), JobStage::Untrusted, FileResult::Failure(ERROR_INVALID_DATA, refused.path));
}

JobReport RefuseLeftOver(JobEvents& events, JobReport report, const FileResult& left) {
    if (IsLinkEntry(left.path))
        return RefuseInput(events, std::move(report), RefusedInput::Link(ShownPath(left.path)));
    return Refuse(events, std::move(report), JobStage::LeftOver, left);
}

FileResult PutRightFirst(const std::wstring& journal, const std::wstring& gameFolder, const std::wstring& setFolder,
                         JobReport& report) {
    std::vector<std::wstring> gameFolders = GameFolderCandidates();
    gameFolders.push_back(gameFolder);
    report.recovery = RecoverInterruptedJob(journal, gameFolders);
    if (!report.recovery.Ok()) {
        report.keptAt = report.recovery.keptAt;
        return report.recovery.failure;
    }
    report.setRecovered = HoldsInterruptedBackup(setFolder) || HoldsStagedBackup(setFolder);
    FileResult recovered = RecoverEarlierSet(setFolder, report.refused);
    if (recovered.Ok())
        recovered = RecoverStagedBackup(setFolder, report.refused);
    if (!recovered.Ok())
        report.keptAt = InterruptedHolding(setFolder);
    return recovered;
}

namespace {

// Whether each volume the plan writes to has room for what it writes there; a failure
// (with the volume and the amounts noted) when one has not.
FileResult CheckRoom(const ChangePlan& plan, JobReport& report) {
    // What each volume must take; a little more per file for the folders and lists made.
    std::map<std::wstring, std::pair<std::uint64_t, VolumeSpace>> needs;
    const std::uint64_t perFile = 4096;
    for (size_t layer = 0; layer < plan.Layers().size(); ++layer) {
        VolumeSpace space;
        if (!SpaceOf(plan.Layers()[layer].staging, space))
            continue;  // a volume that does not say is left to the copy itself
        auto& need = needs[space.volume];
        need.first += plan.StagedBytes(static_cast<int>(layer));
        need.second = space;
    }
    for (auto& [volume, need] : needs) {
        std::uint64_t bytes = need.first + perFile * plan.Files();
        if (need.first == 0 || bytes <= need.second.free)
            continue;
        report.space = need.second;
        report.bytesNeeded = bytes;
        return FileResult::Failure(ERROR_DISK_FULL, volume);
    }
    return FileResult::Success();
}

}  // namespace

void MakeMissingDataFolders(const std::wstring& root) {
    for (const wchar_t* name : game::FolderNames) {
        if (EntryExists(game::Entry(root, name)))
            continue;
        if (FileResult made = MakeFolderPath(game::Entry(root, name)); !made.Ok())
            throw AppError::FromWin32(made.error, L"CopyFolder");
    }
}

void NoteRollbackFailed(JobReport& report, const std::wstring& keptAt, const FileResult& result) {
    report.outcome = JobOutcome::RollbackFailed;
    report.keptAt = keptAt;
    std::wstring shown = ShownPath(result.path);
    report.rollbackFailure = {shown, shown, result.error};
}

void NoteFailure(JobReport& report, JobStage stage, const FileResult& result) {
    report.failedAt = stage;
    std::wstring shown = ShownPath(result.path);
    report.failure = {shown, shown, result.error};
}

namespace {

// A file that kept changing while it was read stops the job wherever it lies: it is
// named as in the game's data, for the player to know which one the game was writing.
bool NoteChanged(const JobCopy& copy, const CopyOutcome& outcome, JobReport& report) {
    if (outcome.result.error != kErrorChangedWhileRead)
        return false;
    std::wstring name = copy.Plan().ItemName(outcome.failedItem);
    if (name.empty())
        name = copy.Plan().ShownSource(outcome.failedItem);
    report.failedAt = JobStage::Changed;
    report.failure = {name, name, outcome.result.error};
    return true;
}

// A copy that stopped within a folder (or, the rest of the plan, at the file itself).
void NoteFolderFailure(const JobCopy& copy, const CopyOutcome& outcome, const std::wstring& folder,
                       JobReport& report) {
    std::wstring file = copy.Plan().ShownSource(outcome.failedItem);
    report.folderFailures.push_back({folder.empty() ? file : folder, file, outcome.result.error});
    if (!NoteChanged(copy, outcome, report))
        report.failedAt = JobStage::Folders;
}

}  // namespace

bool CopyFolderStage(JobCopy& copy, std::size_t end, const std::wstring& folder, JobReport& report) {
    CopyOutcome outcome = copy.CopyThrough(end);
    if (outcome.result.Ok())
        return true;
    NoteFolderFailure(copy, outcome, folder, report);
    return false;
}

void CopyConfigStage(JobCopy& copy, std::size_t end, JobReport& report) {
    CopyOutcome outcome = copy.CopyThrough(end);
    if (outcome.result.Ok()) {
        report.config = ConfigCopy::Copied;
        return;
    }
    DWORD error = outcome.result.error;
    bool gone = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    report.config = gone ? ConfigCopy::Missing : ConfigCopy::Failed;
    if (!gone && !NoteChanged(copy, outcome, report))
        NoteFailure(report, JobStage::Config,
                    FileResult::Failure(error, copy.Plan().ShownSource(outcome.failedItem)));
}

bool CopyRestAndFlush(JobCopy& copy, std::size_t end, JobReport& report) {
    CopyOutcome outcome = copy.CopyThrough(end);
    if (!outcome.result.Ok()) {
        NoteFolderFailure(copy, outcome, L"", report);
        return false;
    }
    if (FileResult flushed = copy.Flush(); !flushed.Ok()) {
        NoteFailure(report, JobStage::Flush, flushed);
        return false;
    }
    return true;
}

std::optional<JobReport> StopBeforeChanges(JobEvents& events, const FileResult& listing, const std::wstring& folder,
                                           const ChangePlan& plan, JobJournal& journal, const JournalEntry& entry,
                                           JobReport& report) {
    if (auto stopped = StopOnReading(events, listing, folder, plan, report))
        return stopped;
    return StopUnlessJournalWritten(events, journal, entry, report);
}

std::optional<JobReport> StopOnReading(JobEvents& events, const FileResult& listing, const std::wstring& folder,
                                       const ChangePlan& plan, JobReport& report) {
    if (!listing.Ok()) {
        report.folderFailures.push_back({folder, ShownPath(listing.path), listing.error});
        report.failedAt = JobStage::Folders;
        report.outcome = JobOutcome::RolledBack;
        events.FoldersCopied(report);
        events.Finished(report);
        return report;
    }
    if (FileResult room = CheckRoom(plan, report); !room.Ok())
        return Refuse(events, report, JobStage::Space, room);
    return std::nullopt;
}

std::optional<JobReport> StopUnlessJournalWritten(JobEvents& events, JobJournal& journal, const JournalEntry& entry,
                                                  JobReport& report) {
    if (FileResult written = journal.Write(entry); !written.Ok())
        return Refuse(events, report, JobStage::Journal, written);
    PassStage("journal written");
    return std::nullopt;
}

void UndoStaging(JobCopy& copy, JobJournal& journal, const std::function<void()>& removeStaging,
                 JobReport& report) {
    (void)copy.Run(JobActivity::Undoing, [&] {
        removeStaging();
        return FileResult::Success();
    });
    (void)journal.Remove();
    report.outcome = JobOutcome::RolledBack;
}
