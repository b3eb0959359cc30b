#include "engine/RestoreJob.h"

#include "engine/BackupMarker.h"
#include "engine/CopySteps.h"
#include "engine/GameLayout.h"
#include "engine/SafetySets.h"
#include "engine/SetAside.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"

namespace {

const wchar_t kPerUserLayer[] = L"Per-user copy (VirtualStore)";

void YieldThreeTimes(JobEvents& events) {
    events.YieldPoint();
    events.YieldPoint();
    events.YieldPoint();
}

std::wstring NewSafetySet(const std::wstring& gameFolder) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return NewSafetySetFolder(SafetySetRoot(gameFolder), now);
}

std::wstring ParentOf(const std::wstring& rel) {
    size_t cut = rel.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : rel.substr(0, cut);
}

// Moves one file, by renaming where it can, else by copying it and removing the original.
FileResult MoveFileAcross(const std::wstring& from, const std::wstring& to) {
    if (FileResult made = MakeFolderPath(to.substr(0, to.find_last_of(L'\\'))); !made.Ok())
        return made;
    (void)DeleteTree(to);
    if (RenameEntry(from, to).Ok())
        return FileResult::Success();
    if (FileResult copied = CopyTree(from, to); !copied.Ok())
        return copied;
    return DeleteTree(from);
}

}  // namespace

RestoreJob::RestoreJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy)
    : gameFolder_(std::move(gameFolder)), setFolder_(std::move(setFolder)), perUserCopy_(std::move(perUserCopy)) {}

std::wstring RestoreJob::PerUserLayer(const std::wstring& setFolder) { return game::Entry(setFolder, kPerUserLayer); }

JobReport RestoreJob::Run(JobEvents& events) {
    JobReport report;
    std::wstring safetySet = NewSafetySet(gameFolder_);
    SetAside game(gameFolder_, safetySet);
    SetAside perUser(perUserCopy_, PerUserLayer(safetySet));
    if (!Prepare(game, perUser, report)) {
        RemoveDirectoryW(LongPath(SafetySetRoot(gameFolder_)).c_str());  // when it was made for this one
        return EndUnstarted(events, report);
    }
    try {
        CopyAll(events, report);
    } catch (...) {
        RollBack({&perUser, &game}, report);
        throw;
    }
    if (report.failedAt == JobStage::None && !perUserCopy_.empty()) {
        if (FileResult placed = PlaceInPerUserCopy(perUser); !placed.Ok())
            NoteFailure(report, JobStage::PerUserCopy, placed);
        report.perUserCopy = perUserCopy_;
    }
    for (SetAside* aside : {&game, &perUser}) {
        if (report.failedAt != JobStage::None)
            break;
        if (FileResult kept = aside->BringBackMissing(); !kept.Ok())
            NoteFailure(report, JobStage::BringBack, kept);
    }
    if (report.failedAt == JobStage::None) {
        PruneSafetySets(SafetySetRoot(gameFolder_), SafetySetsKept, setFolder_);
    } else {
        RollBack({&perUser, &game}, report);
        if (report.outcome == JobOutcome::RollbackFailed)
            report.keptAt = game.Holding();  // the safety set, with both layers
        if (report.outcome == JobOutcome::RolledBack) {
            report.safetySet.clear();
            report.safetyMarker.clear();
            // The folder of all safety sets goes too when this one was its first.
            RemoveDirectoryW(LongPath(SafetySetRoot(gameFolder_)).c_str());
        }
    }
    events.Finished(report);
    return report;
}

// The game folder exists (a new machine has none yet), and the current data lies in a
// safety set with its marker. False, with nothing changed, when that cannot be done.
bool RestoreJob::Prepare(SetAside& game, SetAside& perUser, JobReport& report) const {
    report.outcome = JobOutcome::NotStarted;
    // A set inside the data it replaces would be set aside with that data.
    for (const wchar_t* name : game::FolderNames) {
        if (IsSameOrInsideFolder(setFolder_, game::Entry(gameFolder_, name))) {
            NoteFailure(report, JobStage::SetInsideGame, FileResult::Failure(ERROR_INVALID_PARAMETER, setFolder_));
            return false;
        }
    }
    if (FileResult made = MakeFolderPath(gameFolder_); !made.Ok()) {
        NoteFailure(report, JobStage::GameFolder, made);
        return false;
    }
    if (FileResult taken = game.Take(); !taken.Ok()) {
        NoteFailure(report, JobStage::SetAside, taken);
        return false;
    }
    if (!perUserCopy_.empty()) {
        if (FileResult taken = perUser.Take(); !taken.Ok()) {
            NoteFailure(report, JobStage::SetAside, taken);
            RollBack({&game}, report);
            if (report.outcome == JobOutcome::RolledBack)
                report.outcome = JobOutcome::NotStarted;
            return false;
        }
    }
    report.outcome = JobOutcome::Whole;
    if (!game.HeldAny() && !perUser.HeldAny())
        return true;  // no data yet, nothing to keep
    std::wstring marker = WriteMarker(game.Holding());
    if (!MarkerReadsBack(marker, game.Holding())) {
        // Data without a marker would be out of the player's reach: it goes back.
        NoteFailure(report, JobStage::SafetyMarker, FileResult::Failure(ERROR_WRITE_FAULT, marker));
        RollBack({&perUser, &game}, report);
        if (report.outcome == JobOutcome::RolledBack)
            report.outcome = JobOutcome::NotStarted;
        return false;
    }
    report.safetySet = game.Holding();
    report.safetyMarker = marker;
    return true;
}

void RestoreJob::CopyAll(JobEvents& events, JobReport& report) const {
    CopyFolderInto(game::Entry(setFolder_, L"saves"), gameFolder_, report);
    events.Checkpoint();
    CopyFolderInto(game::Entry(setFolder_, L"maps"), gameFolder_, report);
    YieldThreeTimes(events);
    CopyFolderInto(game::Entry(setFolder_, L"scores"), gameFolder_, report);
    YieldThreeTimes(events);
    // A safety set keeps what the game read from the per-user copy in a layer of its own.
    std::wstring layer = PerUserLayer(setFolder_);
    for (const wchar_t* name : game::FolderNames) {
        if (IsExistingFolder(LongPath(game::Entry(layer, name))))
            OverlayFolderInto(game::Entry(layer, name), game::Entry(gameFolder_, name), report);
    }
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    // A set without a configuration file leaves the game's own in place.
    std::wstring config = game::Entry(setFolder_, game::ConfigName);
    if (EntryExists(game::Entry(layer, game::ConfigName)))
        config = game::Entry(layer, game::ConfigName);
    CopyConfigFile(config, game::Entry(gameFolder_, game::ConfigName), report);
    events.Checkpoint();
}

// Each restored file that the game would read from the per-user copy moves there: where
// that copy held the file, or the folder the file is in.
FileResult RestoreJob::PlaceInPerUserCopy(const SetAside& perUser) const {
    const std::wstring& held = perUser.Holding();
    auto belongsThere = [&](const std::wstring& rel) {
        std::wstring parent = ParentOf(rel);
        return EntryExists(game::Entry(held, rel)) ||
               IsExistingFolder(LongPath(parent.empty() ? held : game::Entry(held, parent)));
    };
    std::vector<std::wstring> files;
    try {
        for (const wchar_t* name : game::FolderNames) {
            for (const std::wstring& rel : FilesBelow(game::Entry(gameFolder_, name)))
                files.push_back(std::wstring(name) + L"\\" + rel);
        }
    } catch (const AppError& e) {
        return FileResult::Failure(static_cast<DWORD>(e.Number()), gameFolder_);
    }
    if (EntryExists(game::Entry(gameFolder_, game::ConfigName)))
        files.push_back(game::ConfigName);
    for (const std::wstring& rel : files) {
        if (!belongsThere(rel))
            continue;
        if (FileResult moved = MoveFileAcross(game::Entry(gameFolder_, rel), game::Entry(perUserCopy_, rel));
            !moved.Ok())
            return moved;
    }
    return FileResult::Success();
}
