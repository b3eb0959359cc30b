#include "backup/clsTrnwck.h"

#include "engine/BackupJob.h"
#include "engine/GameLayout.h"
#include "engine/RestoreJob.h"
#include "files/DirSearch.h"
#include "runtime/DoEvents.h"
#include "runtime/MousePointer.h"
#include "runtime/MsgBox.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

// How one direction tells the user about what it could not copy.
struct Wording {
    const wchar_t* folderIncomplete;  // %1 the folder, %2 the first file concerned
    const wchar_t* afterFolders;      // appended after all folder lines
    bool missingConfigIsError;        // a backup misses it; a restore leaves the game's own
};

constexpr Wording BackupWording{texts::BackupFolderIncomplete, texts::BackupNoMarker, true};
constexpr Wording RestoreWording{texts::RestoreFolderIncomplete, L"", false};

// Moves the wizard on at the job's stages and reports what failed, in the job's order.
class WizardEvents final : public JobEvents {
public:
    WizardEvents(JobWizard& wizard, const Wording& wording) : wizard_(wizard), wording_(wording) {}

    void YieldPoint() override { DoEvents(); }

    void FoldersCopied(const JobReport& soFar) override {
        if (!soFar.FoldersWhole())
            MsgBox(DescribeFolderFailures(soFar) + wording_.afterFolders, MsgButtons::Ok, MsgIcon::Exclamation);
        wizard_.Frame().cmdNext_Click();
    }

    void Finished(const JobReport& report) override {
        bool configFailed = report.config == ConfigCopy::Failed ||
                            (report.config == ConfigCopy::Missing && wording_.missingConfigIsError);
        if (configFailed)
            MsgBox(texts::ErrorCopyingFile);
        wizard_.ShowJobOutcome(report);
        wizard_.Frame().cmdNext_Click();
    }

private:
    // One message for all folders that failed: which one, and the first file concerned.
    std::wstring DescribeFolderFailures(const JobReport& report) const {
        std::wstring text;
        for (const CopyFailure& failure : report.folderFailures)
            text += FillIn(wording_.folderIncomplete, {failure.item, failure.firstFile}) + L"\n\n";
        return text;
    }

    JobWizard& wizard_;
    const Wording& wording_;
};

}  // namespace

JobReport clsTrnwck::BackupTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    WizardEvents events(wizard, BackupWording);
    return BackupJob(game::Folder, setFolder).Run(events);
}

JobReport clsTrnwck::RestoreTrnwck(JobWizard& wizard, const std::wstring& setFolder) {
    WizardEvents events(wizard, RestoreWording);
    return RestoreJob(game::Folder, setFolder).Run(events);
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
