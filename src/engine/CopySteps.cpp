#include "engine/CopySteps.h"

#include "files/FileOps.h"
#include "files/MFile.h"

void CopyFolderInto(const std::wstring& source, const std::wstring& destination, JobReport& report) {
    CopyFolderResult result = CopyFolder(source, destination);
    if (result.whole) {
        report.copiedFolders.push_back(source);
        return;
    }
    report.folderFailures.push_back({source, result.firstDifference, ERROR_SUCCESS});
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

void NoteFailure(JobReport& report, JobStage stage, const FileResult& result) {
    report.failedAt = stage;
    report.failure = {result.path, result.path, result.error};
}

void RollBack(SetAside& aside, JobReport& report) {
    FileResult back = aside.PutBack();
    if (back.Ok()) {
        report.outcome = JobOutcome::RolledBack;
        // Emptied by the put-back; whatever stays in it is not the player's data.
        (void)DeleteTree(aside.Holding());
        return;
    }
    report.outcome = JobOutcome::RollbackFailed;
    report.keptAt = aside.Holding();
    report.rollbackFailure = {back.path, back.path, back.error};
}
