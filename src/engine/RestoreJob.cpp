#include "engine/RestoreJob.h"

#include "engine/BackupMarker.h"
#include "engine/CopySteps.h"
#include "engine/GameLayout.h"
#include "engine/SafetySets.h"
#include "engine/SetAside.h"

namespace {

void YieldThreeTimes(JobEvents& events) {
    events.YieldPoint();
    events.YieldPoint();
    events.YieldPoint();
}

std::wstring NewSafetySet(const std::wstring& gameFolder) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return NewSafetySetFolder(SafetySetRoot(gameFolder), now);
}

}  // namespace

RestoreJob::RestoreJob(std::wstring gameFolder, std::wstring setFolder)
    : gameFolder_(std::move(gameFolder)), setFolder_(std::move(setFolder)) {}

JobReport RestoreJob::Run(JobEvents& events) {
    JobReport report;
    SetAside aside(gameFolder_, NewSafetySet(gameFolder_));
    if (!Prepare(aside, report)) {
        events.FoldersCopied(report);
        events.Finished(report);
        return report;
    }
    try {
        CopyAll(events, report);
    } catch (...) {
        RollBack(aside, report);
        throw;
    }
    if (report.failedAt == JobStage::None) {
        if (FileResult kept = aside.BringBackMissing(); !kept.Ok())
            NoteFailure(report, JobStage::BringBack, kept);
    }
    if (report.failedAt == JobStage::None) {
        PruneSafetySets(SafetySetRoot(gameFolder_), SafetySetsKept, setFolder_);
    } else {
        RollBack(aside, report);
        if (report.outcome == JobOutcome::RolledBack) {
            report.safetySet.clear();
            report.safetyMarker.clear();
        }
    }
    events.Finished(report);
    return report;
}

// The game folder exists (a new machine has none yet), and the current data lies in a
// safety set with its marker. False, with nothing changed, when that cannot be done.
bool RestoreJob::Prepare(SetAside& aside, JobReport& report) const {
    report.outcome = JobOutcome::NotStarted;
    if (FileResult made = MakeFolderPath(gameFolder_); !made.Ok()) {
        NoteFailure(report, JobStage::GameFolder, made);
        return false;
    }
    if (FileResult taken = aside.Take(); !taken.Ok()) {
        NoteFailure(report, JobStage::SetAside, taken);
        (void)DeleteTree(aside.Holding());
        return false;
    }
    report.outcome = JobOutcome::Whole;
    if (!aside.HeldAny())
        return true;  // no data yet, nothing to keep
    std::wstring marker = WriteMarker(aside.Holding());
    if (!MarkerReadsBack(marker, aside.Holding())) {
        // Data without a marker would be out of the player's reach: it goes back.
        NoteFailure(report, JobStage::SafetyMarker, FileResult::Failure(ERROR_WRITE_FAULT, marker));
        RollBack(aside, report);
        if (report.outcome == JobOutcome::RolledBack)
            report.outcome = JobOutcome::NotStarted;
        return false;
    }
    report.safetySet = aside.Holding();
    report.safetyMarker = marker;
    return true;
}

void RestoreJob::CopyAll(JobEvents& events, JobReport& report) const {
    CopyFolderInto(game::Entry(setFolder_, L"saves"), gameFolder_, report);
    events.Checkpoint();
    CopyFolderInto(game::Entry(setFolder_, L"maps"), gameFolder_, report);
    YieldThreeTimes(events);
    CopyFolderInto(game::Entry(setFolder_, L"scores"), gameFolder_, report);
    YieldThreeTimes(events);
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    // A set without a configuration file leaves the game's own in place.
    CopyConfigFile(game::Entry(setFolder_, game::ConfigName), game::Entry(gameFolder_, game::ConfigName), report);
    events.Checkpoint();
}
