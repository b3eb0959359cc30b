#include "engine/BackupJob.h"

#include "engine/BackupMarker.h"
#include "engine/CopySteps.h"
#include "engine/GameLayout.h"

BackupJob::BackupJob(std::wstring gameFolder, std::wstring setFolder)
    : gameFolder_(std::move(gameFolder)), setFolder_(std::move(setFolder)) {}

JobReport BackupJob::Run(JobEvents& events) {
    JobReport report;
    for (const wchar_t* name : game::FolderNames)
        CopyFolderInto(game::Entry(gameFolder_, name), setFolder_, report);
    events.FoldersCopied(report);

    CopyConfigFile(game::Entry(gameFolder_, game::ConfigName), game::Entry(setFolder_, game::ConfigName), report);
    // A set whose folders are not whole gets no marker, so it is never offered for a restore.
    if (report.FoldersWhole())
        report.marker = WriteMarker(setFolder_);
    events.Finished(report);
    return report;
}
