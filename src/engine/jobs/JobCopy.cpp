#include "engine/jobs/JobCopy.h"

#include "runtime/StageHook.h"
#include "runtime/Worker.h"

JobCopy::JobCopy(JobEvents& events, std::vector<SwapLayer> layers) : events_(events), plan_(std::move(layers)) {}

void JobCopy::Progressed(const CopyProgress& progress) {
    item_ = progress.item;
    bytesDone_ = progress.bytesDone;
    filesFlushed_ = progress.filesFlushed;
    if (filesDone_.exchange(progress.filesDone) != progress.filesDone)
        PassStage("file copied");
}

bool JobCopy::StopRequested() { return stop_; }

void JobCopy::Report(JobActivity activity, bool stoppable) {
    JobProgress progress;
    progress.activity = activity;
    progress.stoppable = stoppable;
    progress.filesTotal = plan_.Files();
    progress.bytesTotal = plan_.Bytes();
    progress.filesDone = activity == JobActivity::Flushing ? filesFlushed_.load() : filesDone_.load();
    progress.bytesDone = bytesDone_;
    if (activity == JobActivity::Copying && item_ < plan_.Items().size()) {
        progress.currentFile = plan_.ShownSource(item_);
        progress.currentName = plan_.ItemName(item_);
    }
    events_.Progress(progress);
}

void JobCopy::OnWorker(JobActivity activity, bool stoppable, const std::function<void()>& work) {
    Report(activity, stoppable);
    RunOnWorker(work, [&] { Report(activity, stoppable); }, [&] { stop_ = true; });
    Report(activity, stoppable);
}

void JobCopy::List(const std::function<void(ChangePlan&)>& build) {
    OnWorker(JobActivity::Counting, true, [&] { build(plan_); });
}

CopyOutcome JobCopy::CopyThrough(std::size_t end) {
    CopyOutcome outcome;
    std::size_t first = next_;
    OnWorker(JobActivity::Copying, true, [&] { outcome = copier_.Copy(plan_.Items(), first, end, *this); });
    next_ = outcome.result.Ok() ? end : outcome.failedItem;
    return outcome;
}

FileResult JobCopy::Flush() {
    FileResult result;
    OnWorker(JobActivity::Flushing, true, [&] { result = copier_.Flush(*this); });
    return result;
}

FileResult JobCopy::Run(JobActivity activity, const std::function<FileResult()>& work) {
    FileResult result;
    OnWorker(activity, false, [&] {
        copier_.Settle();
        result = work();
    });
    return result;
}
