#include "engine/jobs/JobDescription.h"

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>

#include "engine/game/GameLayout.h"
#include "engine/sets/SetManifest.h"
#include "runtime/AppError.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "runtime/TimeText.h"

namespace {

// How one direction tells the user what went wrong, by the stage where the job stopped.
struct Wording {
    const wchar_t* folderIncomplete;  // %1 the folder, %2 the first file concerned
    const wchar_t* noGameFolder;      // %1 the game folder, %2 the reason
    const wchar_t* swapFailed;        // %1 the set folder, %2 the path, %3 the reason
    const wchar_t* configFailed;
    const wchar_t* changed;           // %1 the file's name in the data
    const wchar_t* notPutBack;        // %1 the path, %2 the reason, %3 where the data stayed
    const wchar_t* setNotRecovered;   // %1 the set folder, %2 the path, %3 the reason, %4 where it lies
    // A backup: what a failure puts back is the earlier set (a restore: the game's data).
    bool backup;
};

constexpr Wording BackupWording{texts::BackupFolderIncomplete, texts::BackupNoGameFolder, texts::BackupSwapFailed,
                                texts::BackupConfigFailed,     texts::BackupChanged,      texts::BackupNotPutBack,
                                texts::BackupInterruptedNotRecovered, true};
constexpr Wording RestoreWording{texts::RestoreFolderIncomplete, texts::RestoreNoGameFolder, texts::RestoreSwapFailed,
                                 texts::RestoreConfigFailed,     texts::RestoreChanged,      texts::RestoreNotPutBack,
                                 texts::RestoreSetNotRecovered,  false};

std::wstring Reason(DWORD code) { return SystemErrorText(code); }

// Up to ten of the files by name, then how many more there are.
std::vector<std::wstring> FirstFiles(const std::vector<std::wstring>& files) {
    const size_t shown = 10;
    std::vector<std::wstring> first(files.begin(), files.begin() + static_cast<std::ptrdiff_t>(std::min(shown, files.size())));
    if (files.size() > shown)
        first.push_back(FillIn(texts::AndMoreFiles, {std::to_wstring(files.size() - shown)}));
    return first;
}

// A few files by name, one a line.
std::wstring ListOfFiles(const std::vector<std::wstring>& files) {
    std::wstring text;
    for (const std::wstring& file : FirstFiles(files))
        text += file + L"\n";
    return text;
}

// What was found and done of the journal acted on.
std::wstring DescribeActedOn(const Recovery& r) {
    bool backup = r.kind == JobKind::Backup;
    if (r.found == Recovery::Found::Unreadable)
        return FillIn(r.foreign ? texts::RecoveryJournalForeign : texts::RecoveryJournalUnreadable, {r.keptAt});
    if (r.found != Recovery::Found::Job)
        return {};
    if (r.refused)
        return FillIn(texts::RecoveryRefused,
                      {DescribeRefused(*r.refused, r.setFolder), FillIn(texts::SetLeftAsItIs, {r.keptAt})});
    if (r.needsRights)
        return FillIn(texts::RestoreRecoveryNeedsRights, {r.setFolder, ShownPath(r.failure.path), r.keptAt});
    if (!r.Ok())
        return FillIn(backup ? texts::BackupRecoveryFailed : texts::RestoreRecoveryFailed,
                      {r.setFolder, ShownPath(r.failure.path), Reason(r.failure.error), r.keptAt});
    if (r.finished)
        return FillIn(backup ? texts::RecoveredBackupFinished : texts::RecoveredRestoreFinished, {r.setFolder});
    if (!backup)
        return FillIn(texts::RecoveredRestoreUndone, {r.setFolder});
    return FillIn(r.emptyFolder ? texts::RecoveredBackupRemoved : texts::RecoveredBackupUndone, {r.setFolder});
}

}  // namespace

std::wstring DescribeRecovery(const Recovery& r) {
    std::wstring text = DescribeActedOn(r);
    for (const Recovery::Waiting& waiting : r.waiting)
        text += (text.empty() ? L"" : L"\n\n") + FillIn(texts::RecoveryWaiting, {waiting.setFolder, waiting.journal});
    return text;
}

namespace {

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
        return f.error == ERROR_BUSY ? std::wstring(texts::JobBusy) : FillIn(texts::JobLockFailed, {Reason(f.error)});
    case JobStage::Journal: {
        std::wstring text = FillIn(texts::JobJournalFailed, {f.item, Reason(f.error)});
        return text + (report.outcome == JobOutcome::NotStarted ? std::wstring(L" ") + texts::NothingChanged : L"\n\n");
    }
    case JobStage::Recover:
        // A journal's job that could not be put right says so itself.
        if (report.recovery.DidSomething())
            return DescribeRecovery(report.recovery);
        if (report.refused)
            return DescribeRefused(*report.refused, setFolder) + L" " + FillIn(texts::SetLeftAsItIs, {setFolder}) +
                   L" " + texts::NothingChanged;
        return FillIn(wording.setNotRecovered, {setFolder, f.item, Reason(f.error), report.keptAt});
    case JobStage::GameFolder:
        return FillIn(wording.noGameFolder, {f.item, Reason(f.error)});
    case JobStage::NoGameFolder:
        return FillIn(wording.backup ? texts::BackupNoGameFolder : texts::RestoreNoGameFolderFound, {f.item});
    case JobStage::LeftOver:
        return FillIn(texts::JobLeftOver, {f.item, Reason(f.error)});
    case JobStage::Untrusted:
        return DescribeRefused(*report.refused, setFolder) + L" " + texts::NothingChanged;
    case JobStage::Manifest:
        return FillIn(texts::SetListUnreadable, {f.item, Reason(f.error)});
    case JobStage::SetInsideGame:
        return FillIn(texts::RestoreSetInsideGame, {f.item});
    case JobStage::Rights:
        return FillIn(texts::RestoreNoRights, {ShownPath(f.item)});
    case JobStage::NotInSet:
        return FillIn(texts::RestoreNotInSet, {setFolder, f.item});
    case JobStage::Swap:
        return FillIn(wording.swapFailed, {setFolder, f.item, Reason(f.error)}) + L"\n\n";
    case JobStage::Space:
        return FillIn(texts::JobNoSpace, {ByteSize(report.bytesNeeded), report.space.volume, ByteSize(report.space.free)});
    case JobStage::Damaged:
        return FillIn(texts::RestoreDamaged, {setFolder, ListOfFiles(report.damaged)}) + L"\n\n";
    case JobStage::SafetyMarker:
        return FillIn(texts::RestoreSafetyMarkerFailed, {f.item, Reason(f.error)});
    case JobStage::Changed:
        return FillIn(wording.changed, {f.item}) + (wording.backup ? L"" : L"\n\n");
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
    if (report.failedAt == JobStage::Changed)
        return {};  // the stop says that nothing was changed
    return FillIn(report.earlierSet ? texts::BackupEarlierKept : texts::BackupNothingKept, {setFolder});
}

}  // namespace

std::wstring DescribeRefused(const RefusedInput& refused, const std::wstring& setFolder) {
    if (refused.IsLink())
        return FillIn(texts::LinkInSet, {refused.path});
    if (refused.kind == RefusedInput::Kind::CasePair)
        return FillIn(texts::NamesOnlyCaseApart, {refused.path, refused.text});
    std::wstring line = std::to_wstring(refused.line);
    if (refused.path == game::Entry(setFolder, SetManifest::FileName))
        return FillIn(texts::ManifestNotOurs, {setFolder, refused.path, line, refused.text});
    return FillIn(texts::ListNotOurs, {refused.path, line, refused.text});
}

std::wstring ByteSize(std::uint64_t bytes) {
    // In the user's own units and separators ("4.52 MB"); Wine lacks StrFormatByteSizeEx.
    wchar_t text[64] = L"";
    StrFormatByteSizeW(static_cast<LONGLONG>(bytes), text, 64);
    return text;
}

std::wstring DescribeJobProblems(const JobReport& report, JobKind kind, const std::wstring& setFolder) {
    const Wording& wording = kind == JobKind::Backup ? BackupWording : RestoreWording;
    return DescribeBefore(report, setFolder) + DescribeStop(report, wording, setFolder) +
           DescribeAftermath(report, wording, setFolder);
}

std::wstring SomeFiles(const std::vector<std::wstring>& files) {
    std::wstring text;
    for (const std::wstring& file : FirstFiles(files))
        text += (text.empty() ? L"" : L"; ") + file;
    return text + L".";
}

std::wstring FilesCounted(std::uint64_t count) { return Counted(count, texts::OneFile, texts::ManyFiles); }

std::wstring DescribeRestoreNotes(const JobReport& report) {
    std::wstring text;
    if (!report.leftOut.empty())
        text = FillIn(texts::RestoreLeftOut,
                      {FilesCounted(report.leftOut.size()), SomeFiles(report.leftOut)});
    if (!report.safetyManifest.Ok()) {
        const FileResult& f = report.safetyManifest;
        text += (text.empty() ? L"" : L" ") + FillIn(texts::SafetyManifestNotWritten, {ShownPath(f.path), Reason(f.error)});
    }
    return text;
}

std::wstring ShortDateTime(const SYSTEMTIME& local) { return TimeText(local, L"YYYY-MM-DD hh:mm"); }

std::wstring ShortDateTime(std::uint64_t fileTime) {
    FILETIME utc{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    SYSTEMTIME universal, local;
    if (!FileTimeToSystemTime(&utc, &universal) || !SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local))
        return L"?";
    return ShortDateTime(local);
}

namespace {

// A reason as a sentence's end: with its full stop.
std::wstring AsSentenceEnd(std::wstring reason) {
    if (reason.empty())
        return L"?";
    if (reason.back() != L'.')
        reason += L'.';
    return reason;
}

}  // namespace

std::wstring DescribeLastWindowlessBackup(const std::optional<WindowlessBackup>& last) {
    if (!last)
        return texts::LastRunNone;
    const std::wstring when = ShortDateTime(last->time);
    if (last->exitCode == 0)
        return FillIn(texts::LastRunWhole, {when, last->folder});
    return FillIn(texts::LastRunFailed, {when, last->folder, AsSentenceEnd(last->reason)});
}

std::wstring DescribeWindowlessFailure(const WindowlessBackup& last) {
    return FillIn(texts::MenuBackupFailed, {ShortDateTime(last.time), last.folder, AsSentenceEnd(last.reason)});
}

std::wstring DescribeStamp(const FileStamp& stamp) {
    return FillIn(texts::FileStampShown, {ShortDateTime(stamp.lastWrite), ByteSize(stamp.size)});
}

const wchar_t* ChangeWord(RestoreChange::Kind kind) {
    switch (kind) {
    case RestoreChange::Kind::Replace:
        return texts::ChangeReplace;
    case RestoreChange::Kind::Add:
        return texts::ChangeAdd;
    case RestoreChange::Kind::Remove:
        break;
    }
    return texts::ChangeRemove;
}

std::wstring DescribeChange(const RestoreChange& change) {
    std::wstring line = std::wstring(ChangeWord(change.kind)) + L" " + change.name + (change.folder ? L"\\" : L"");
    if (change.set)
        line += L"\t" + FillIn(texts::ChangeInSet, {DescribeStamp(*change.set)});
    if (change.game)
        line += L"\t" + FillIn(texts::ChangeInGame, {DescribeStamp(*change.game)});
    return line;
}

std::wstring DescribePreview(const std::vector<RestoreChange>& changes, const std::wstring& setFolder,
                             const std::wstring& gameFolder) {
    if (changes.empty())
        return FillIn(texts::PreviewNothing, {setFolder, gameFolder});
    RestoreCounts counts = CountChanges(changes);
    return FillIn(texts::PreviewCounts, {FilesCounted(counts.replaced), FilesCounted(counts.added), FilesCounted(counts.removed),
                                         ByteSize(counts.bytes), setFolder, gameFolder});
}
