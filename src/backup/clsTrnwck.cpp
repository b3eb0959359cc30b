#include "backup/clsTrnwck.h"

#include <vector>

#include "backup/GamePaths.h"
#include "backup/frmBackup.h"
#include "files/DirSearch.h"
#include "files/MFile.h"
#include "files/clsFileSystem.h"
#include "restore/frmRestore.h"
#include "runtime/DoEvents.h"
#include "runtime/MousePointer.h"
#include "runtime/MsgBox.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

struct FailedCopy {
    std::wstring folder;
    std::wstring firstDifference;
};

// Copies one folder and notes it when the copy is not whole.
void CopyAndCheck(const std::wstring& source, const std::wstring& destination, std::vector<FailedCopy>& failures) {
    CopyFolderResult result = CopyFolder(source, destination);
    if (!result.whole)
        failures.push_back({source, result.firstDifference});
}

// One message for all folders that failed: which one, and the first file concerned.
std::wstring DescribeFailures(const std::vector<FailedCopy>& failures, const wchar_t* pattern) {
    std::wstring text;
    for (const auto& failure : failures)
        text += FillIn(pattern, {failure.folder, failure.firstDifference}) + L"\n\n";
    return text;
}

}  // namespace

void clsTrnwck::BackupTrnwck() {
    clsFileSystem fs;
    const std::wstring location = BackupLocation;
    std::vector<FailedCopy> failures;
    CopyAndCheck(game::Saves, location, failures);
    CopyAndCheck(game::Maps, location, failures);
    CopyAndCheck(game::Scores, location, failures);

    frmBackup& wizard = frmBackup::Instance();
    if (!failures.empty()) {
        wizard.MarkSetIncomplete();
        MsgBox(DescribeFailures(failures, texts::BackupFolderIncomplete) + texts::BackupNoMarker, MsgButtons::Ok,
               MsgIcon::Exclamation);
    }
    wizard.cmdNext_Click();
    std::wstring name = fs.GetFileName(game::ConfigFile);
    fs.CopyFile(game::ConfigFile, location + L"\\" + name);
    wizard.cmdNext_Click();
}

void clsTrnwck::RestoreTrnwck() {
    clsFileSystem fs;
    const std::wstring location = BackupLocation;
    std::vector<FailedCopy> failures;
    CopyAndCheck(location + L"\\saves", game::Folder, failures);
    CopyAndCheck(location + L"\\maps", game::Folder, failures);
    YieldThreeTimes();
    CopyAndCheck(location + L"\\scores", game::Folder, failures);
    YieldThreeTimes();

    frmRestore& wizard = frmRestore::Instance();
    if (!failures.empty()) {
        wizard.MarkRestoreIncomplete();
        MsgBox(DescribeFailures(failures, texts::RestoreFolderIncomplete), MsgButtons::Ok, MsgIcon::Exclamation);
    }
    wizard.cmdNext_Click();
    std::wstring config = location + L"\\" + game::ConfigName;
    if (fs.FileExist(config)) {
        std::wstring name = fs.GetFileName(config);
        if (!fs.CopyFile(location + L"\\" + name, game::ConfigFile))
            wizard.MarkRestoreIncomplete();
    }
    wizard.cmdNext_Click();
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
