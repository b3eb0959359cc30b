#include "engine/BackupJob.h"

#include "engine/BackupMarker.h"
#include "engine/CopySteps.h"
#include "engine/GameLayout.h"
#include "engine/SetAside.h"
#include "files/ExistingFolder.h"

namespace {

const wchar_t kHoldingName[] = L"Tarnwick earlier set (kept until the new backup is complete)";
const wchar_t kReleasingName[] = L"Tarnwick earlier set (being removed)";

}  // namespace

BackupJob::BackupJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy)
    : gameFolder_(std::move(gameFolder)), setFolder_(std::move(setFolder)), perUserCopy_(std::move(perUserCopy)) {}

std::wstring BackupJob::HoldingFolder(const std::wstring& setFolder) { return game::Entry(setFolder, kHoldingName); }

JobReport BackupJob::Run(JobEvents& events) {
    JobReport report;
    SetAside aside(setFolder_, HoldingFolder(setFolder_));
    if (!Prepare(aside, report))
        return EndUnstarted(events, report);
    report.earlierSet = aside.HeldAny();
    MarkerSnapshot earlierMarker(MarkerPathToday(setFolder_));
    try {
        CopyAll(events, report);
    } catch (...) {
        earlierMarker.Restore();
        RollBack({&aside}, report);
        throw;
    }
    if (report.failedAt == JobStage::None)
        Commit(aside, report);
    if (report.failedAt != JobStage::None) {
        report.marker.clear();
        earlierMarker.Restore();
        RollBack({&aside}, report);
    }
    events.Finished(report);
    return report;
}

// There is something to back up, and an earlier set in the folder is set aside. False,
// with nothing changed, when that cannot be.
bool BackupJob::Prepare(SetAside& aside, JobReport& report) const {
    report.outcome = JobOutcome::NotStarted;
    // Nothing to back up is not a backup: no copies, no marker, nothing touched.
    if (!IsExistingFolder(gameFolder_)) {
        NoteFailure(report, JobStage::GameFolder, FileResult::Failure(ERROR_PATH_NOT_FOUND, gameFolder_));
        return false;
    }
    if (!RecoverInterrupted(report))
        return false;
    if (FileResult taken = aside.Take(); !taken.Ok()) {
        NoteFailure(report, JobStage::SetAside, taken);
        return false;
    }
    report.outcome = JobOutcome::Whole;
    return true;
}

// A holding folder found at the start is what an interrupted backup left: the set folder
// may hold part of a new copy. The earlier set goes back in place before anything else.
bool BackupJob::RecoverInterrupted(JobReport& report) const {
    (void)DeleteTree(game::Entry(setFolder_, kReleasingName));
    std::wstring holding = HoldingFolder(setFolder_);
    if (!EntryExists(holding))
        return true;
    SetAside interrupted(setFolder_, holding);
    interrupted.AdoptHeld();
    FileResult back = interrupted.PutBack();
    if (!back.Ok()) {
        report.keptAt = holding;
        NoteFailure(report, JobStage::Recover, back);
        return false;
    }
    (void)DeleteTree(holding);
    return true;
}

void BackupJob::CopyAll(JobEvents& events, JobReport& report) const {
    for (const wchar_t* name : game::FolderNames) {
        CopyFolderInto(game::Entry(gameFolder_, name), setFolder_, report);
        events.Checkpoint();
    }
    // What the game itself reads: a file of the per-user copy before the game folder's.
    for (const wchar_t* name : game::FolderNames) {
        std::wstring overlay = game::Entry(perUserCopy_, name);
        if (perUserCopy_.empty() || !IsExistingFolder(overlay))
            continue;
        OverlayFolderInto(overlay, game::Entry(setFolder_, name), report);
        report.perUserCopy = perUserCopy_;
        events.Checkpoint();
    }
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    std::wstring config = game::Entry(gameFolder_, game::ConfigName);
    std::wstring perUserConfig = game::Entry(perUserCopy_, game::ConfigName);
    if (!perUserCopy_.empty() && EntryExists(perUserConfig)) {
        config = perUserConfig;
        report.perUserCopy = perUserCopy_;
    }
    CopyConfigFile(config, game::Entry(setFolder_, game::ConfigName), report);
    events.Checkpoint();
}

// The new copy is whole: the earlier set's files it lacks join it, the marker is written
// and read back, and only then is the earlier set let go.
void BackupJob::Commit(SetAside& aside, JobReport& report) const {
    if (FileResult kept = aside.BringBackMissing(); !kept.Ok()) {
        NoteFailure(report, JobStage::BringBack, kept);
        return;
    }
    std::wstring marker = WriteMarker(setFolder_);
    if (!MarkerReadsBack(marker, setFolder_)) {
        NoteFailure(report, JobStage::Marker, FileResult::Failure(ERROR_WRITE_FAULT, marker));
        return;
    }
    report.marker = marker;
    if (!aside.HeldAny())
        return;
    // Renamed first, so that a removal cut short never looks like an interrupted backup.
    std::wstring releasing = game::Entry(setFolder_, kReleasingName);
    if (FileResult released = RenameEntry(aside.Holding(), releasing); !released.Ok()) {
        NoteFailure(report, JobStage::Commit, released);
        return;
    }
    // What cannot be removed now goes at the start of the next backup into this folder.
    (void)DeleteTree(releasing);
}
