#include "engine/CopySteps.h"

#include "files/FileOps.h"
#include "files/MFile.h"
#include "files/TreeCompare.h"
#include "runtime/AppError.h"

void CopyFolderInto(const std::wstring& source, const std::wstring& destination, JobReport& report) {
    CopyFolderResult result = CopyFolder(source, destination);
    if (result.whole) {
        report.copiedFolders.push_back(source);
        return;
    }
    report.folderFailures.push_back({source, result.firstDifference, result.error});
    report.failedAt = JobStage::Folders;
}

void OverlayFolderInto(const std::wstring& overlay, const std::wstring& target, JobReport& report) {
    FileResult copied = CopyTree(overlay, target);
    std::wstring difference = copied.path;
    if (copied.Ok()) {
        try {
            difference = FirstDifference(overlay, target);
        } catch (const AppError&) {
            difference = overlay;  // a tree that cannot be listed cannot be shown to be whole
        }
    }
    if (difference.empty()) {
        report.copiedFolders.push_back(overlay);
        return;
    }
    report.folderFailures.push_back({overlay, difference, copied.error});
    report.failedAt = JobStage::Folders;
}

void CopyConfigFile(const std::wstring& source, const std::wstring& destination, JobReport& report) {
    FileResult result = CopyOneFile(source, destination);
    if (result.Ok()) {
        report.config = ConfigCopy::Copied;
        return;
    }
    bool missing = result.error == ERROR_FILE_NOT_FOUND || result.error == ERROR_PATH_NOT_FOUND;
    report.config = missing ? ConfigCopy::Missing : ConfigCopy::Failed;
    if (!missing)
        NoteFailure(report, JobStage::Config, result);
}

JobReport EndUnstarted(JobEvents& events, const JobReport& report) {
    events.FoldersCopied(report);
    events.Finished(report);
    return report;
}

void NoteFailure(JobReport& report, JobStage stage, const FileResult& result) {
    report.failedAt = stage;
    report.failure = {result.path, result.path, result.error};
}

void RollBack(std::initializer_list<SetAside*> asides, JobReport& report) {
    for (SetAside* aside : asides) {
        FileResult back = aside->PutBack();
        if (!back.Ok()) {
            // What could not go back stays where it was kept, with everything else there.
            report.outcome = JobOutcome::RollbackFailed;
            report.keptAt = aside->Holding();
            report.rollbackFailure = {back.path, back.path, back.error};
            return;
        }
    }
    report.outcome = JobOutcome::RolledBack;
    // Emptied by the put-back; whatever stays in them is not the player's data.
    for (SetAside* aside : asides)
        (void)DeleteTree(aside->Holding());
}
