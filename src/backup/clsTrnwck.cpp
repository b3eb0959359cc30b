#include "backup/clsTrnwck.h"

#include <windows.h>
#include <knownfolders.h>

#include <cstdint>
#include <optional>

#include "backup/FolderChooser.h"
#include "engine/game/GameLayout.h"
#include "engine/game/GameLocation.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/CopySteps.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "engine/journal/JobRecovery.h"
#include "files/DirSearch.h"
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

// How one direction words its progress while it lets the earlier data go, and whether a
// missing configuration file is an error (a backup; a restore leaves the game's own).
struct Wording {
    JobKind kind;
    const wchar_t* finishing;
    const wchar_t* const (&copying)[4];  // by the part of the data, as game::DataNames
    bool backup() const { return kind == JobKind::Backup; }
};

constexpr Wording BackupWording{JobKind::Backup, texts::BackupProgressFinishing, texts::BackupCopying};
constexpr Wording RestoreWording{JobKind::Restore, texts::RestoreProgressFinishing, texts::RestoreCopying};

// What the step says while the job copies the file of that name: its part of the data.
std::wstring CopyingCaption(const std::wstring& name, const Wording& wording) {
    std::wstring part = LowerCase(name.substr(0, name.find(L'\\')));
    for (size_t i = 0; i < std::size(game::DataNames); ++i) {
        if (part == game::DataNames[i])
            return wording.copying[i];
    }
    return {};
}

// Thrown at a job's safe point once the user has asked to stop; the job undoes its work
// and lets it pass.
struct JobCancelled {};

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
        view.status = FillIn(texts::ProgressCounting, {std::to_wstring(p.filesTotal), ByteSize(p.bytesTotal)});
        view.permille = 0;
        break;
    case JobActivity::Copying:
        view.status = FillIn(texts::ProgressCopying, {std::to_wstring(p.filesDone), std::to_wstring(p.filesTotal),
                                                      ByteSize(p.bytesDone), ByteSize(p.bytesTotal)});
        view.detail = p.currentFile;
        view.caption = CopyingCaption(p.currentName, wording);
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
                            (report.config == ConfigCopy::Missing && wording_.backup());
        if (configFailed)
            MsgBox(texts::ErrorCopyingFile);
        std::wstring text = DescribeJobProblems(report, wording_.kind, setFolder_);
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

clsTrnwck::PutRight clsTrnwck::PutRightInterruptedJob() {
    Recovery recovery;
    {
        HourglassScope busy;
        recovery = RecoverInterruptedJob(JobJournal::DefaultPath(), GameFolderCandidates());
    }
    std::wstring text = DescribeRecovery(recovery);
    if (!text.empty())
        MsgBox(text, MsgButtons::Ok, recovery.Ok() ? MsgIcon::None : MsgIcon::Exclamation);
    return recovery.needsRights ? PutRight::NeedsRights : PutRight::Done;
}

JobReport clsTrnwck::BackupTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    std::optional<std::wstring> game = GameFolderForJob(wizard, true);
    if (!game)
        return RefuseForWizard(wizard, BackupWording, setFolder);
    JobReport report =
        RunForWizard(BackupJob(*game, setFolder, ExistingPerUserCopy(*game)), wizard, BackupWording, setFolder);
    // A whole backup answers a failed one that ran without a window: the menu stops telling it.
    if (report.Whole())
        NoteBackupCompleted(LastWindowlessBackupPath());
    return report;
}

JobReport clsTrnwck::RestoreTrnwck(JobWizard& wizard, const std::wstring& setFolder, const RestoreChoice& choice) {
    std::optional<std::wstring> game = GameFolderForJob(wizard, false);
    if (!game)
        return RefuseForWizard(wizard, RestoreWording, setFolder);
    RestoreJob job(*game, setFolder, ExistingPerUserCopy(*game));
    job.Choose(choice);
    return RunForWizard(std::move(job), wizard, RestoreWording, setFolder);
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
