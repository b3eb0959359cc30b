#include "backup/clsTrnwck.h"

#include "engine/BackupJob.h"
#include "engine/GameLayout.h"
#include "engine/RestoreJob.h"
#include "files/DirSearch.h"
#include "files/PerUserCopy.h"
#include "runtime/AppError.h"
#include "runtime/DoEvents.h"
#include "runtime/EndProgram.h"
#include "runtime/MousePointer.h"
#include "runtime/MsgBox.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

// Thrown at a job's safe point once the user has asked to stop; the job undoes its work
// and lets it pass.
struct JobCancelled {};

// How one direction tells the user what went wrong, by the stage where the job stopped.
struct Wording {
    const wchar_t* folderIncomplete;  // %1 the folder, %2 the first file concerned
    const wchar_t* noGameFolder;      // %1 the game folder, %2 the reason
    const wchar_t* notSetAside;
    const wchar_t* configFailed;
    const wchar_t* bringBackFailed;
    const wchar_t* notPutBack;        // %1 the path, %2 the reason, %3 where the data stayed
    // A backup: a missing configuration file is an error (a restore leaves the game's
    // own), and what a failure puts back is the earlier set (a restore: the game's data).
    bool backup;
};

constexpr Wording BackupWording{texts::BackupFolderIncomplete, texts::BackupNoGameFolder,
                                texts::BackupEarlierNotSetAside, texts::BackupConfigFailed,
                                texts::BackupBringBackFailed, texts::BackupNotPutBack, true};
constexpr Wording RestoreWording{texts::RestoreFolderIncomplete, texts::RestoreNoGameFolder,
                                 texts::RestoreNotSetAside, texts::RestoreConfigFailed,
                                 texts::RestoreBringBackFailed, texts::RestoreNotPutBack, false};

std::wstring Reason(DWORD code) { return SystemErrorText(code); }

// What stopped the job, in the direction's words.
std::wstring DescribeStop(const JobReport& report, const Wording& wording, const std::wstring& setFolder) {
    const CopyFailure& f = report.failure;
    switch (report.failedAt) {
    case JobStage::Folders: {
        std::wstring text;
        for (const CopyFailure& failure : report.folderFailures) {
            text += FillIn(wording.folderIncomplete, {failure.item, failure.firstFile});
            if (failure.error != ERROR_SUCCESS)
                text += L" " + Reason(failure.error);
            text += L"\n\n";
        }
        return text;
    }
    case JobStage::GameFolder:
        return FillIn(wording.noGameFolder, {f.item, Reason(f.error)});
    case JobStage::SetInsideGame:
        return FillIn(texts::RestoreSetInsideGame, {f.item});
    case JobStage::Recover:
        return FillIn(texts::BackupInterruptedNotRecovered, {report.keptAt, f.item, Reason(f.error)});
    case JobStage::SetAside:
        return FillIn(wording.notSetAside, {setFolder, f.item, Reason(f.error)});
    case JobStage::SafetyMarker:
        return FillIn(texts::RestoreSafetyMarkerFailed, {f.item, Reason(f.error)});
    case JobStage::Config:
        return FillIn(wording.configFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::BringBack:
        return FillIn(wording.bringBackFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::Marker:
        return FillIn(texts::BackupMarkerFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::Commit:
        return FillIn(texts::BackupCommitFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::PerUserCopy:
        return FillIn(texts::RestorePerUserCopyFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::None:
        break;
    }
    return {};
}

// Where the data stands after a failed job.
std::wstring DescribeAftermath(const JobReport& report, const Wording& wording, const std::wstring& setFolder) {
    const CopyFailure& f = report.rollbackFailure;
    if (report.outcome == JobOutcome::RollbackFailed)
        return FillIn(wording.notPutBack, {f.item, Reason(f.error), report.keptAt});
    if (report.outcome != JobOutcome::RolledBack)
        return {};
    if (!wording.backup)
        return texts::RestoreRolledBack;
    return FillIn(report.earlierSet ? texts::BackupEarlierKept : texts::BackupNothingKept, {setFolder});
}

// Moves the wizard on at the job's stages, lets the user stop it, and reports what
// failed, in the job's order.
class WizardEvents final : public JobEvents {
public:
    WizardEvents(JobWizard& wizard, const Wording& wording, std::wstring setFolder)
        : wizard_(wizard), wording_(wording), setFolder_(std::move(setFolder)) {
        wizard_.Frame().SetJobRunning(true);
    }
    ~WizardEvents() { wizard_.Frame().SetJobRunning(false); }
    WizardEvents(const WizardEvents&) = delete;
    WizardEvents& operator=(const WizardEvents&) = delete;

    void Checkpoint() override {
        if (wizard_.Frame().CancelRequested())
            throw JobCancelled{};
    }

    void YieldPoint() override {
        DoEvents();
        Checkpoint();
    }

    void FoldersCopied(const JobReport&) override {
        wizard_.Frame().cmdNext_Click();
        Checkpoint();
    }

    void Finished(const JobReport& report) override {
        // The job is over: from here on Cancel ends the program at once again.
        wizard_.Frame().SetJobRunning(false);
        bool configFailed = report.config == ConfigCopy::Failed ||
                            (report.config == ConfigCopy::Missing && wording_.backup);
        if (configFailed)
            MsgBox(texts::ErrorCopyingFile);
        std::wstring text = DescribeStop(report, wording_, setFolder_) + DescribeAftermath(report, wording_, setFolder_);
        if (!text.empty())
            MsgBox(text, MsgButtons::Ok, MsgIcon::Exclamation);
        wizard_.ShowJobOutcome(report);
        wizard_.Frame().cmdNext_Click();
    }

private:
    JobWizard& wizard_;
    const Wording& wording_;
    std::wstring setFolder_;
};

// Runs a job for the wizard; a job the user stopped has undone its work, and the
// program ends as Cancel ends it.
template <class Job>
JobReport RunForWizard(Job&& job, JobWizard& wizard, const Wording& wording, const std::wstring& setFolder) {
    try {
        WizardEvents events(wizard, wording, setFolder);
        return job.Run(events);
    } catch (const JobCancelled&) {
        EndProgram();
    }
}

}  // namespace

JobReport clsTrnwck::BackupTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    return RunForWizard(BackupJob(game::Folder, setFolder, ExistingPerUserCopy(game::Folder)), wizard, BackupWording,
                        setFolder);
}

JobReport clsTrnwck::RestoreTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    return RunForWizard(RestoreJob(game::Folder, setFolder, ExistingPerUserCopy(game::Folder)), wizard,
                        RestoreWording, setFolder);
}

std::deque<std::wstring>& clsTrnwck::ScanFolderLevel(const std::wstring& strFolder, long& lngFolders, long& lngFiles) {
    HourglassScope busy;
    if (!folders_) {
        folders_ = std::make_unique<std::deque<std::wstring>>();
        folders_->push_back(strFolder);
        lngFolders = 0;
        lngFiles = 0;
    }
    if (folders_->empty())
        return *folders_;
    std::wstring folder = folders_->front();
    folders_->pop_front();
    DirSearch search(folder + L"\\*.*", FILE_ATTRIBUTE_DIRECTORY);
    DirEntry entry;
    while (search.Next(entry)) {
        if (entry.IsDotEntry())
            continue;
        if (entry.IsFolder()) {
            folders_->push_back(folder + L"\\" + entry.name);
            ++lngFolders;
        } else {
            ++lngFiles;
        }
    }
    return *folders_;
}
