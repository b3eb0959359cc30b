#pragma once
// The copy of one job: its plan listed, its items copied and the copies made durable,
// each on a worker thread, while the job's own thread passes on how far it got
// (JobEvents::Progress) about ten times a second. The caller's window thus goes on
// painting and hearing Cancel; a stop asked for there reaches the copy between two
// pieces of a file, and the job then undoes its work as after any failure.

#include <atomic>
#include <functional>

#include "engine/jobs/JobEvents.h"
#include "engine/staging/ChangePlan.h"
#include "files/FileCopier.h"

class JobCopy final : private CopyObserver {
public:
    // layers: the trees the job changes, with their staging and keeping folders.
    JobCopy(JobEvents& events, std::vector<SwapLayer> layers);

    // Lists the plan: build runs on the worker.
    void List(const std::function<void(ChangePlan&)>& build);
    // Copies the plan's items from where the last call stopped up to end (CopyPlan::End).
    CopyOutcome CopyThrough(std::size_t end);
    // Makes every copy durable.
    FileResult Flush();
    // Other long work of the job on the worker, shown as the activity; it cannot be
    // stopped (letting go of earlier data, undoing). The copies are let go first, so that
    // the work may remove or rename them.
    FileResult Run(JobActivity activity, const std::function<FileResult()>& work);

    const ChangePlan& Plan() const { return plan_; }
    ChangePlan& Changes() { return plan_; }
    // The SHA-256 the copy's own pass took of the item's file; "" when it has none.
    std::string Digest(std::size_t item) { return copier_.Digest(item); }
    // Files copied so far, and of them those made hard links (CopyItem::linkTo).
    std::uint64_t FilesDone() const { return copier_.Progress().filesDone; }
    std::uint64_t FilesLinked() const { return copier_.Progress().filesLinked; }

private:
    void Progressed(const CopyProgress& progress) override;
    bool StopRequested() override;
    void OnWorker(JobActivity activity, bool stoppable, const std::function<void()>& work);
    void Report(JobActivity activity, bool stoppable);

    JobEvents& events_;
    ChangePlan plan_;
    FileCopier copier_;
    std::size_t next_ = 0;
    std::atomic<std::size_t> item_{0};
    std::atomic<std::uint64_t> filesDone_{0};
    std::atomic<std::uint64_t> bytesDone_{0};
    std::atomic<std::uint64_t> filesFlushed_{0};
    std::atomic<bool> stop_{false};
};
