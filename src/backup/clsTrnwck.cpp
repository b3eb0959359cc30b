#include "backup/clsTrnwck.h"

#include <shlwapi.h>

#include <cstdint>
#include <knownfolders.h>
#include <optional>

#include "backup/FolderChooser.h"
#include "engine/BackupJob.h"
#include "engine/CopySteps.h"
#include "engine/GameLocation.h"
#include "engine/GameLayout.h"
#include "engine/JobRecovery.h"
#include "engine/RestoreJob.h"
#include "files/DirSearch.h"
#include "files/FileOps.h"
#include "files/KnownFolder.h"
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
    const wchar_t* swapFailed;        // %1 the set folder, %2 the path, %3 the reason
    const wchar_t* configFailed;
    const wchar_t* notPutBack;        // %1 the path, %2 the reason, %3 where the data stayed
    const wchar_t* setNotRecovered;   // %1 the set folder, %2 the path, %3 the reason, %4 where it lies
    const wchar_t* finishing;         // progress while the earlier data is let go
    // A backup: a missing configuration file is an error (a restore leaves the game's
    // own), and what a failure puts back is the earlier set (a restore: the game's data).
    bool backup;
};

constexpr Wording BackupWording{texts::BackupFolderIncomplete, texts::BackupNoGameFolder,  texts::BackupSwapFailed,
                                texts::BackupConfigFailed,     texts::BackupNotPutBack,    texts::BackupInterruptedNotRecovered,
                                texts::BackupProgressFinishing, true};
constexpr Wording RestoreWording{texts::RestoreFolderIncomplete, texts::RestoreNoGameFolder,  texts::RestoreSwapFailed,
                                 texts::RestoreConfigFailed,     texts::RestoreNotPutBack,    texts::RestoreSetNotRecovered,
                                 texts::RestoreProgressFinishing, false};

std::wstring Reason(DWORD code) { return SystemErrorText(code); }

std::wstring Bytes(std::uint64_t bytes) {
    // In the user's own units and separators ("4.52 MB"); Wine lacks StrFormatByteSizeEx.
    wchar_t text[64] = L"";
    StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64);
    return text;
}

// A few files by name, one a line, and how many more there are.
std::wstring ListOfFiles(const std::vector<std::wstring>& files) {
    const size_t shown = 10;
    std::wstring text;
    for (size_t i = 0; i < files.size() && i < shown; ++i)
        text += files[i] + L"\n";
    if (files.size() > shown)
        text += FillIn(texts::AndMoreFiles, {std::to_wstring(files.size() - shown)}) + L"\n";
    return text;
}

// What the job is doing, as its step panel shows it.
ProgressView ViewOf(const JobProgress& p, const Wording& wording, bool stopping) {
    // A file counts for its bytes and for what it costs to make one: a tree of many small
    // files moves the bar as steadily as one of a few large ones.
    constexpr std::uint64_t kFileWeight = 32 * 1024;
    auto share = [](std::uint64_t done, std::uint64_t total) {
        return total ? static_cast<int>(done * 1000 / total) : 0;
    };
    ProgressView view;
    switch (p.activity) {
    case JobActivity::Counting:
        view.status = FillIn(texts::ProgressCounting, {std::to_wstring(p.filesTotal), Bytes(p.bytesTotal)});
        view.permille = 0;
        break;
    case JobActivity::Copying:
        view.status = FillIn(texts::ProgressCopying, {std::to_wstring(p.filesDone), std::to_wstring(p.filesTotal),
                                                      Bytes(p.bytesDone), Bytes(p.bytesTotal)});
        view.detail = p.currentFile;
        view.permille = share(p.bytesDone + p.filesDone * kFileWeight, p.bytesTotal + p.filesTotal * kFileWeight);
        break;
    case JobActivity::Flushing:
        view.status = FillIn(texts::ProgressFlushing, {std::to_wstring(p.filesDone), std::to_wstring(p.filesTotal)});
        view.permille = 1000;
        break;
    case JobActivity::Placing:
        view.status = texts::ProgressPlacing;
        view.permille = 1000;
        break;
    case JobActivity::Finishing:
        view.status = wording.finishing;
        view.permille = 1000;
        break;
    case JobActivity::Undoing:
        view.status = texts::ProgressUndoing;
        break;
    }
    if (stopping && p.stoppable)
        view.status = texts::ProgressStopping;
    return view;
}

// What the program found of an interrupted job and did about it.
std::wstring DescribeRecovery(const Recovery& r) {
    bool backup = r.kind == JobKind::Backup;
    if (r.found == Recovery::Found::Unreadable)
        return FillIn(texts::RecoveryJournalUnreadable, {r.keptAt});
    if (r.found != Recovery::Found::Job)
        return {};
    if (!r.Ok())
        return FillIn(backup ? texts::BackupRecoveryFailed : texts::RestoreRecoveryFailed,
                      {r.setFolder, ShownPath(r.failure.path), Reason(r.failure.error), r.keptAt});
    if (r.finished)
        return FillIn(backup ? texts::RecoveredBackupFinished : texts::RecoveredRestoreFinished, {r.setFolder});
    if (!backup)
        return FillIn(texts::RecoveredRestoreUndone, {r.setFolder});
    return FillIn(r.emptyFolder ? texts::RecoveredBackupRemoved : texts::RecoveredBackupUndone, {r.setFolder});
}

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
    case JobStage::Busy:
        return texts::JobBusy;
    case JobStage::Journal: {
        std::wstring text = FillIn(texts::JobJournalFailed, {f.item, Reason(f.error)});
        return text + (report.outcome == JobOutcome::NotStarted ? std::wstring(L" ") + texts::NothingChanged : L"\n\n");
    }
    case JobStage::Recover:
        // A journal's job that could not be put right says so itself.
        if (report.recovery.DidSomething())
            return DescribeRecovery(report.recovery);
        return FillIn(wording.setNotRecovered, {setFolder, f.item, Reason(f.error), report.keptAt});
    case JobStage::GameFolder:
        return FillIn(wording.noGameFolder, {f.item, Reason(f.error)});
    case JobStage::NoGameFolder:
        return FillIn(wording.backup ? texts::BackupNoGameFolder : texts::RestoreNoGameFolderFound, {f.item});
    case JobStage::SetInsideGame:
        return FillIn(texts::RestoreSetInsideGame, {f.item});
    case JobStage::Swap:
        return FillIn(wording.swapFailed, {setFolder, f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::Space:
        return FillIn(texts::JobNoSpace, {Bytes(report.bytesNeeded), report.space.volume, Bytes(report.space.free)});
    case JobStage::Damaged:
        return FillIn(texts::RestoreDamaged, {setFolder, ListOfFiles(report.damaged)}) + L"\n\n";
    case JobStage::SafetyMarker:
        return FillIn(texts::RestoreSafetyMarkerFailed, {f.item, Reason(f.error)});
    case JobStage::Flush:
        return FillIn(texts::JobFlushFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::Config:
        return FillIn(wording.configFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::Marker:
        return FillIn(texts::BackupMarkerFailed, {f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::None:
        break;
    }
    return {};
}

// What was put right before the job began: an interrupted job's journal, or an
// interrupted backup in the set folder.
std::wstring DescribeBefore(const JobReport& report, const std::wstring& setFolder) {
    if (report.failedAt == JobStage::Recover)
        return {};  // the stop says it
    std::wstring text;
    if (report.recovery.DidSomething())
        text = DescribeRecovery(report.recovery) + L"\n\n";
    if (report.setRecovered)
        text += FillIn(texts::SetRecovered, {setFolder}) + L"\n\n";
    return text;
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

    void Progress(const JobProgress& progress) override {
        WizardFrame& frame = wizard_.Frame();
        frame.ShowProgress(ViewOf(progress, wording_, frame.CancelRequested()));
        DoEvents();
        if (progress.stoppable)
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
        std::wstring text = DescribeBefore(report, setFolder_) + DescribeStop(report, wording_, setFolder_) +
                            DescribeAftermath(report, wording_, setFolder_);
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

// Ends a job that has no game folder to work on before it starts, as the job itself ends
// a refusal: the wizard tells why and moves on to its finish panel.
JobReport RefuseForWizard(JobWizard& wizard, const Wording& wording, const std::wstring& setFolder) {
    WizardEvents events(wizard, wording, setFolder);
    return Refuse(events, JobReport(), JobStage::NoGameFolder, FileResult::Failure(ERROR_PATH_NOT_FOUND, game::Folder));
}

}  // namespace

void clsTrnwck::PutRightInterruptedJob() {
    Recovery recovery;
    {
        HourglassScope busy;
        recovery = RecoverInterruptedJob(JobJournal::DefaultPath());
    }
    std::wstring text = DescribeRecovery(recovery);
    if (!text.empty())
        MsgBox(text, MsgButtons::Ok, recovery.Ok() ? MsgIcon::None : MsgIcon::Exclamation);
}

JobReport clsTrnwck::BackupTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    std::optional<std::wstring> game = GameFolderForJob(wizard, true);
    if (!game)
        return RefuseForWizard(wizard, BackupWording, setFolder);
    return RunForWizard(BackupJob(*game, setFolder, ExistingPerUserCopy(*game)), wizard, BackupWording, setFolder);
}

JobReport clsTrnwck::RestoreTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    std::optional<std::wstring> game = GameFolderForJob(wizard, false);
    if (!game)
        return RefuseForWizard(wizard, RestoreWording, setFolder);
    return RunForWizard(RestoreJob(*game, setFolder, ExistingPerUserCopy(*game)), wizard, RestoreWording, setFolder);
}

std::optional<std::wstring> clsTrnwck::GameFolderForJob(JobWizard& wizard, bool backup) {
    std::wstring found = FindGameFolder();
    if (!found.empty())
        return found;
    // Installed elsewhere (another drive, another folder): the player may say where.
    if (MsgBox(FillIn(texts::GameFolderNotFound, {game::Folder}), MsgButtons::YesNo, MsgIcon::Exclamation) !=
        MsgResult::Yes)
        return std::nullopt;
    FolderChooserRequest request{texts::GameFolderChooserTitle, texts::GameFolderChooserPrompt,
                                 KnownFolderPath(FOLDERID_ProgramFilesX86)};
    std::optional<std::wstring> chosen = ChooseFolder(wizard.Frame().Hwnd(), request);
    if (!chosen)
        return std::nullopt;
    // A backup needs the game's data; a restore may fill a game that has none yet.
    if (backup && !game::HoldsGameData(*chosen)) {
        MsgBox(FillIn(texts::GameFolderHoldsNoData, {*chosen}), MsgButtons::Ok, MsgIcon::Exclamation);
        return std::nullopt;
    }
    RememberGameFolder(*chosen);
    return chosen;
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
