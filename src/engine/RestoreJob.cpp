#include "engine/RestoreJob.h"

#include <unordered_set>

#include "engine/BackupMarker.h"
#include "engine/CopySteps.h"
#include "engine/EarlierSet.h"
#include "engine/GameLayout.h"
#include "engine/JobCopy.h"
#include "engine/JobLock.h"
#include "engine/SafetySets.h"
#include "engine/SetAside.h"
#include "files/DirSearch.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"
#include "runtime/StageHook.h"

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

std::wstring FoldCase(std::wstring text) {
    if (!text.empty())
        CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

std::wstring ParentOf(const std::wstring& rel) {
    size_t cut = rel.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : rel.substr(0, cut);
}

// What the per-user copy held before the restore (now in the safety set's layer): every
// file and folder below it, relative to it, case-folded.
struct HeldPerUser {
    bool any = false;
    std::unordered_set<std::wstring> entries;
    std::unordered_set<std::wstring> folders;

    // Lists the folder that holds it; a listing that fails is the result.
    FileResult ListFrom(const std::wstring& folder) {
        any = true;
        try {
            List(LongPath(folder), L"");
            return FileResult::Success();
        } catch (const AppError& e) {
            return FileResult::Failure(static_cast<DWORD>(e.Number()), folder);
        }
    }

    void List(const std::wstring& folder, const std::wstring& rel) {
        for (const DirEntry& entry : DirSearch::Everything(folder)) {
            std::wstring path = rel.empty() ? entry.name : rel + L"\\" + entry.name;
            entries.insert(FoldCase(path));
            if (entry.IsFolder()) {
                folders.insert(FoldCase(path));
                List(folder + L"\\" + entry.name, path);
            }
        }
    }

    // The game reads a restored file from the per-user copy where that copy held the file
    // or the folder the file is in.
    bool Holds(const std::wstring& rel) const {
        std::wstring parent = ParentOf(rel);
        return entries.count(FoldCase(rel)) || (parent.empty() ? any : folders.count(FoldCase(parent)) > 0);
    }
};

}  // namespace

RestoreJob::RestoreJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy, std::wstring journal)
    : gameFolder_(std::move(gameFolder)),
      setFolder_(std::move(setFolder)),
      perUserCopy_(std::move(perUserCopy)),
      journal_(std::move(journal)) {}

std::wstring RestoreJob::PerUserLayer(const std::wstring& setFolder) { return game::Entry(setFolder, kPerUserLayer); }

JobReport RestoreJob::Run(JobEvents& events) {
    JobReport report;
    JobLock lock;
    if (!lock.Held())
        return Refuse(events, report, JobStage::Busy, FileResult::Failure(ERROR_BUSY, gameFolder_));
    // A set inside the data it replaces would be set aside with that data.
    for (const wchar_t* name : game::FolderNames) {
        if (IsSameOrInsideFolder(setFolder_, game::Entry(gameFolder_, name)))
            return Refuse(events, report, JobStage::SetInsideGame,
                          FileResult::Failure(ERROR_INVALID_PARAMETER, setFolder_));
    }
    // A restore never copies a partial set that an interrupted backup left.
    if (FileResult recovered = PutRightFirst(journal_, setFolder_, report); !recovered.Ok())
        return Refuse(events, report, JobStage::Recover, recovered);
    if (FileResult made = MakeFolderPath(gameFolder_); !made.Ok())
        return Refuse(events, report, JobStage::GameFolder, made);

    JobJournal journal(journal_);
    std::wstring safetySet = NewSafetySet(gameFolder_);
    JournalEntry entry{.kind = JobKind::Restore,
                       .gameFolder = gameFolder_,
                       .setFolder = setFolder_,
                       .perUserCopy = perUserCopy_,
                       .safetySet = safetySet,
                       .perUserLayer = PerUserLayer(safetySet),
                       .madeSafetySetRoot = !EntryExists(SafetySetRoot(gameFolder_))};
    if (FileResult written = journal.Write(entry); !written.Ok())
        return Refuse(events, report, JobStage::Journal, written);
    PassStage("journal written");
    SetAside game(gameFolder_, entry.safetySet);
    SetAside perUser(perUserCopy_, entry.perUserLayer);
    JobStage refusal = JobStage::SetAside;
    if (FileResult aside = SetAsideCurrentData(game, perUser, entry, journal, refusal, report); !aside.Ok())
        return Refuse(events, report, refusal, aside);
    PassStage("copying");

    JobCopy copy(events);
    try {
        CopyAll(copy, game, perUser, events, report);
        if (report.failedAt == JobStage::None) {
            entry.stage = JournalStage::Committing;
            if (FileResult written = journal.Write(entry); !written.Ok())
                NoteFailure(report, JobStage::Journal, written);
        }
    } catch (...) {
        Undo(copy, game, perUser, journal, entry, report);
        throw;
    }
    if (report.failedAt != JobStage::None) {
        Undo(copy, game, perUser, journal, entry, report);
    } else {
        PassStage("committing");
        (void)copy.Run(JobActivity::Finishing, [&] {
            PruneSafetySets(SafetySetRoot(gameFolder_), SafetySetsKept, setFolder_);
            return FileResult::Success();
        });
        (void)journal.Remove();
    }
    events.Finished(report);
    return report;
}

// The current data lies in the safety set with its marker, and the journal says so.
// On a failure nothing is changed: what was set aside goes back, and stage says where
// it stopped.
FileResult RestoreJob::SetAsideCurrentData(SetAside& game, SetAside& perUser, JournalEntry& entry,
                                           JobJournal& journal, JobStage& stage, JobReport& report) const {
    stage = JobStage::SetAside;
    FileResult result = game.Take();
    if (result.Ok())
        result = perUser.Take();
    // Data without a marker would be out of the player's reach.
    if (result.Ok() && (game.HeldAny() || perUser.HeldAny())) {
        std::wstring marker = WriteMarker(entry.safetySet);
        if (!MarkerReadsBack(marker, entry.safetySet)) {
            stage = JobStage::SafetyMarker;
            result = FileResult::Failure(ERROR_WRITE_FAULT, marker);
        } else {
            report.safetySet = entry.safetySet;
            report.safetyMarker = marker;
        }
    }
    if (result.Ok()) {
        entry.stage = JournalStage::Copying;
        entry.held = game.Held();
        entry.heldPerUser = perUser.Held();
        stage = JobStage::Journal;
        result = journal.Write(entry);
    }
    if (result.Ok())
        return result;
    report.safetySet.clear();
    report.safetyMarker.clear();
    // Nothing is copied yet: what was set aside simply goes back.
    if (perUser.ReplaceHeld().Ok() && game.ReplaceHeld().Ok()) {
        (void)DeleteTree(entry.safetySet);
        if (entry.madeSafetySetRoot)
            RemoveDirectoryW(LongPath(SafetySetRoot(gameFolder_)).c_str());
        (void)journal.Remove();
    }
    return result;
}

void RestoreJob::CopyAll(JobCopy& copy, const SetAside& game, const SetAside& perUser, JobEvents& events,
                         JobReport& report) const {
    const std::wstring layer = PerUserLayer(setFolder_);
    HeldPerUser held;
    Diversion diversion{perUserCopy_, [&](const std::wstring& rel) { return held.Holds(rel); }};
    const Diversion* divert = perUserCopy_.empty() ? nullptr : &diversion;
    std::size_t folderEnds[std::size(game::FolderNames)] = {};
    std::vector<std::pair<std::wstring, std::size_t>> overlays;
    std::size_t configEnd = 0;
    bool configFound = false;
    std::wstring listingFolder;
    FileResult listing;
    JobStage listingStage = JobStage::Folders;
    copy.List([&](CopyPlan& plan) {
        if (perUser.HeldAny()) {
            listingFolder = perUser.Holding();
            listing = held.ListFrom(perUser.Holding());
        }
        for (size_t i = 0; i < std::size(game::FolderNames) && listing.Ok(); ++i) {
            listingFolder = game::Entry(setFolder_, game::FolderNames[i]);
            listing = plan.AddFolder(setFolder_, game::FolderNames[i], gameFolder_, divert);
            folderEnds[i] = plan.End();
        }
        // A safety set keeps what the game read from the per-user copy in a layer of its own.
        for (const wchar_t* name : game::FolderNames) {
            std::wstring overlay = game::Entry(layer, name);
            if (!listing.Ok() || !IsExistingFolder(LongPath(overlay)))
                continue;
            listingFolder = overlay;
            listing = plan.AddOverlay(layer, name, gameFolder_, divert);
            overlays.emplace_back(overlay, plan.End());
        }
        // A set without a configuration file leaves the game's own in place.
        configFound = plan.AddFile(layer, game::ConfigName, gameFolder_, divert) ||
                      plan.AddFile(setFolder_, game::ConfigName, gameFolder_, divert);
        configEnd = plan.End();
        if (listing.Ok()) {
            listingStage = JobStage::BringBack;
            listing = plan.AddMissing(game.Holding(), gameFolder_);
        }
        if (listing.Ok() && perUser.HeldAny())
            listing = plan.AddMissing(perUser.Holding(), perUserCopy_);
    });
    if (ListingFailed(listing, listingStage, listingFolder, report)) {
        events.FoldersCopied(report);
        return;
    }
    for (size_t i = 0; i < std::size(game::FolderNames); ++i) {
        if (report.FoldersWhole() && CopyFolderStage(copy, folderEnds[i], report))
            report.copiedFolders.push_back(game::Entry(setFolder_, game::FolderNames[i]));
        if (i == 0)
            events.Checkpoint();
        else
            YieldThreeTimes(events);
    }
    for (const auto& [overlay, end] : overlays) {
        if (!report.FoldersWhole() || !CopyFolderStage(copy, end, report))
            break;
        report.copiedFolders.push_back(overlay);
    }
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    if (configFound)
        CopyConfigStage(copy, configEnd, report);
    else
        report.config = ConfigCopy::Missing;
    events.Checkpoint();
    if (report.failedAt == JobStage::None && CopyRestAndFlush(copy, copy.Plan().End(), report) &&
        !perUserCopy_.empty())
        report.perUserCopy = perUserCopy_;
}

void RestoreJob::Undo(JobCopy& copy, SetAside& game, SetAside& perUser, JobJournal& journal,
                      const JournalEntry& entry, JobReport& report) const {
    FileResult back = copy.Run(JobActivity::Undoing, [&] {
        FileResult result = perUser.PutBack();
        return result.Ok() ? game.PutBack() : result;
    });
    if (!back.Ok()) {
        // The data from before stays in the safety set, with both layers; the journal
        // tells the next start to put it back.
        report.outcome = JobOutcome::RollbackFailed;
        report.keptAt = entry.safetySet;
        report.rollbackFailure = {ShownPath(back.path), ShownPath(back.path), back.error};
        return;
    }
    report.outcome = JobOutcome::RolledBack;
    report.safetySet.clear();
    report.safetyMarker.clear();
    (void)journal.Remove();
    // All is back: the safety set holds only its marker, and its folder goes; so does
    // the folder of all safety sets when this one was its first.
    (void)DeleteTree(entry.safetySet);
    if (entry.madeSafetySetRoot)
        RemoveDirectoryW(LongPath(SafetySetRoot(gameFolder_)).c_str());
}
