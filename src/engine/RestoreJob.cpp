#include "engine/RestoreJob.h"

#include "engine/CopySteps.h"
#include "engine/GameLayout.h"

namespace {

void YieldThreeTimes(JobEvents& events) {
    events.YieldPoint();
    events.YieldPoint();
    events.YieldPoint();
}

}  // namespace

RestoreJob::RestoreJob(std::wstring gameFolder, std::wstring setFolder)
    : gameFolder_(std::move(gameFolder)), setFolder_(std::move(setFolder)) {}

JobReport RestoreJob::Run(JobEvents& events) {
    JobReport report;
    CopyFolderInto(game::Entry(setFolder_, L"saves"), gameFolder_, report);
    CopyFolderInto(game::Entry(setFolder_, L"maps"), gameFolder_, report);
    YieldThreeTimes(events);
    CopyFolderInto(game::Entry(setFolder_, L"scores"), gameFolder_, report);
    YieldThreeTimes(events);
    events.FoldersCopied(report);

    // A set without a configuration file leaves the game's own in place.
    CopyConfigFile(game::Entry(setFolder_, game::ConfigName), game::Entry(gameFolder_, game::ConfigName), report);
    events.Finished(report);
    return report;
}
