#include "engine/CopySteps.h"

#include "engine/EarlierSet.h"

JobReport Refuse(JobEvents& events, JobReport report, JobStage stage, const FileResult& result) {
    report.outcome = JobOutcome::NotStarted;
    NoteFailure(report, stage, result);
    events.FoldersCopied(report);
    events.Finished(report);
    return report;
}

FileResult PutRightFirst(const std::wstring& journal, const std::wstring& setFolder, JobReport& report) {
    report.recovery = RecoverInterruptedJob(journal);
    if (!report.recovery.Ok()) {
        report.keptAt = report.recovery.keptAt;
        return report.recovery.failure;
    }
    report.setRecovered = HoldsInterruptedBackup(setFolder);
    FileResult recovered = RecoverEarlierSet(setFolder);
    if (!recovered.Ok())
        report.keptAt = InterruptedHolding(setFolder);
    return recovered;
}

void NoteFailure(JobReport& report, JobStage stage, const FileResult& result) {
    report.failedAt = stage;
    std::wstring shown = ShownPath(result.path);
    report.failure = {shown, shown, result.error};
}

bool CopyFolderStage(JobCopy& copy, std::size_t end, JobReport& report) {
    CopyOutcome outcome = copy.CopyThrough(end);
    if (outcome.result.Ok())
        return true;
    const CopyPlan& plan = copy.Plan();
    report.folderFailures.push_back(
        {plan.Origin(outcome.failedItem), plan.ShownSource(outcome.failedItem), outcome.result.error});
    report.failedAt = JobStage::Folders;
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
    if (!gone)
        NoteFailure(report, JobStage::Config,
                    FileResult::Failure(error, copy.Plan().ShownSource(outcome.failedItem)));
}

bool CopyRestAndFlush(JobCopy& copy, std::size_t end, JobReport& report) {
    CopyOutcome outcome = copy.CopyThrough(end);
    if (!outcome.result.Ok()) {
        NoteFailure(report, JobStage::BringBack,
                    FileResult::Failure(outcome.result.error, copy.Plan().ShownSource(outcome.failedItem)));
        return false;
    }
    if (FileResult flushed = copy.Flush(); !flushed.Ok()) {
        NoteFailure(report, JobStage::Flush, flushed);
        return false;
    }
    return true;
}

bool ListingFailed(const FileResult& listing, JobStage stage, const std::wstring& folder, JobReport& report) {
    if (listing.Ok())
        return false;
    if (stage == JobStage::Folders) {
        report.folderFailures.push_back({folder, ShownPath(listing.path), listing.error});
        report.failedAt = JobStage::Folders;
    } else {
        NoteFailure(report, stage, listing);
    }
    return true;
}
