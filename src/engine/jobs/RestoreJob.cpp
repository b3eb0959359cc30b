#include "engine/jobs/RestoreJob.h"

#include <windows.h>

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "engine/game/GameLayout.h"
#include "engine/jobs/CopySteps.h"
#include "engine/jobs/JobCopy.h"
#include "engine/journal/JobLock.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SafetySets.h"
#include "engine/sets/SetManifest.h"
#include "engine/sets/SetVerify.h"
#include "engine/staging/BackupStaging.h"
#include "engine/staging/ChangePlan.h"
#include "engine/staging/LayeredListing.h"
#include "engine/staging/RestoreRights.h"
#include "engine/staging/RestoreStaging.h"
#include "files/DirSearch.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "files/QuickCheck.h"
#include "runtime/AppError.h"
#include "runtime/StageHook.h"
#include "runtime/TextConv.h"

namespace {

const wchar_t* const kPerUserLayer = game::PerUserLayerName;

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

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
}

// A path below a safety set: the per-user copy's below its layer folder.
std::wstring InSafetySet(int layer, const std::wstring& rel) { return layer == 1 ? Join(kPerUserLayer, rel) : rel; }

}  // namespace

struct RestoreJob::Plan {
    SetManifest manifest;  // the set's; empty for a set without one
    bool hasManifest = false;
    std::vector<std::wstring> leftOut;  // the set's files its manifest does not list (shown paths)
    struct Check {
        std::size_t item;
        std::string digest;
    };
    std::vector<Check> checks;                // copies to check against the manifest
    std::unordered_set<std::wstring> seen;    // the set's files, case-folded paths below it
    std::vector<std::wstring> added;          // what the restore adds, as the safety set lists it
    std::size_t foldersEnd = 0, savesEnd = 0, mapsEnd = 0;
    bool configFound = false;
    std::vector<DataName> toRemove;           // a safety set's list of what its restore added
    std::vector<RestoreChange> changes;       // what the restore changes, file by file
    std::wstring listingFolder;
    FileResult listing;
    std::optional<RefusedInput> refused;      // a link in the set
};

namespace {

// The set over the game's data, entry by entry: what is the same stays, what differs or
// is new is staged for the tree the game reads it from.
class RestoreWalk {
public:
    // route: files go where the game reads them (an ordinary set); otherwise each goes to
    // the layer given (a safety set's layers).
    RestoreWalk(ChangePlan& plan, const QuickCheck& quick, RestoreJob::Plan& p, const RestoreChoice& choice,
                bool perUser, bool route)
        : plan_(plan), quick_(quick), p_(p), choice_(choice), perUser_(perUser), route_(route) {}

    // The entries of the set's folder source at rel, the same folder in the set being setRel.
    void Folder(int layer, const std::wstring& rel, const std::wstring& setRel, const std::wstring& source) {
        Folder(layer, rel, setRel, LayeredListing({source}), PlaceOf(rel));
    }

    // One entry at the top of a tree (saves, maps, scores, the cfg), in the set's folder
    // setParent ("" or the per-user layer's).
    void Top(int layer, const std::wstring& setParent, const LayeredEntry& entry) {
        if (choice_.Reaches(entry.entry.name))
            Entry(layer, L"", setParent, entry, PlaceOf(L""));
        else
            RefuseLink(entry);
    }

private:
    struct Place;
    void Folder(int layer, const std::wstring& rel, const std::wstring& setRel, const LayeredListing& source,
                const Place& here) {
        for (const LayeredEntry* entry : source.Entries()) {
            if (choice_.Reaches(Join(rel, entry->entry.name)))
                Entry(layer, rel, setRel, *entry, here);
            else
                RefuseLink(*entry);
        }
    }

    // The folder rel in the game folder and in the per-user copy, as they stand.
    struct Place {
        LayeredListing game;
        LayeredListing perUser;
        bool gameHolds;     // the game folder has the folder rel
        bool perUserHolds;  // the per-user copy has it
    };

    Place PlaceOf(const std::wstring& rel) const {
        std::wstring game = Join(plan_.Layers()[0].root, rel);
        std::wstring perUser = perUser_ ? Join(plan_.Layers()[1].root, rel) : std::wstring();
        bool gameHolds = IsExistingFolder(LongPath(game));
        bool perUserHolds = perUser_ && IsExistingFolder(LongPath(perUser));
        return {LayeredListing(gameHolds ? std::vector{LongPath(game)} : std::vector<std::wstring>{}),
                LayeredListing(perUserHolds ? std::vector{LongPath(perUser)} : std::vector<std::wstring>{}), gameHolds,
                perUserHolds};
    }

    void Entry(int layer, const std::wstring& rel, const std::wstring& setRel, const LayeredEntry& entry,
               const Place& here) {
        RefuseLink(entry);
        const std::wstring& name = entry.entry.name;
        std::wstring child = Join(rel, name);
        std::wstring setChild = Join(setRel, name);
        if (!entry.entry.IsFolder()) {
            // The game reads a file from the per-user copy where that copy holds it or the
            // folder it is in.
            if (route_ && perUser_ && (here.perUser.Find(name) || here.perUserHolds))
                layer = 1;
            if (!choice_.Takes(child) || !Vouched(setChild, entry))
                return;
            const LayeredEntry* inPlace = (layer == 1 ? here.perUser : here.game).Find(name);
            p_.seen.insert(FoldCase(setChild));
            if (inPlace && quick_.Same(entry.entry, inPlace->entry))
                return;
            StageFile(layer, child, setChild, entry, false, inPlace);
            if (!inPlace)
                p_.added.push_back(InSafetySet(layer, child));
            return;
        }
        if (route_) {
            const LayeredEntry* inGame = here.game.Find(name);
            const LayeredEntry* inPerUser = here.perUser.Find(name);
            bool gameFolder = inGame && inGame->entry.IsFolder();
            if (inPerUser && inPerUser->entry.IsFolder()) {
                Folder(0, child, setChild, entry.folders.front());
                return;
            }
            // Where only the game folder has it, it may be replaced whole.
            if (gameFolder) {
                FolderOrWhole(0, child, setChild, entry);
                return;
            }
            // A new folder goes where its parent folder is.
            layer = here.gameHolds || !perUser_ ? 0 : 1;
        }
        const LayeredEntry* inPlace = (layer == 1 ? here.perUser : here.game).Find(name);
        // A folder of the game in which nothing stays is replaced whole: one swap, not one a file.
        if (inPlace && inPlace->entry.IsFolder()) {
            FolderOrWhole(layer, child, setChild, entry);
            return;
        }
        StageTree(layer, child, setChild, entry.folders.front(), false, nullptr);
        if (!inPlace)
            p_.added.push_back(InSafetySet(layer, child));
    }

    // The folder child replaced whole when it is chosen whole and nothing of the game's
    // stays, else compared entry by entry (a folder on the way to a name chosen below it).
    void FolderOrWhole(int layer, const std::wstring& child, const std::wstring& setChild, const LayeredEntry& entry) {
        std::vector<std::wstring> added;
        LayeredListing source({entry.folders.front()});
        Place there = PlaceOf(child);
        // A game file whose counterpart in the set the manifest does not vouch for stays.
        auto inSet = [&](const std::wstring& rel) { return setChild + rel.substr(child.size()); };
        auto same = [&](const std::wstring& rel, const DirEntry& coming, const DirEntry& inPlace) {
            return quick_.Same(coming, inPlace) || !IsVouched(inSet(rel));
        };
        if (!choice_.Takes(child) || !ReplacesWhole(source, layer == 1 ? there.perUser : there.game, child, same, &added)) {
            Folder(layer, child, setChild, source, there);
            return;
        }
        StageTree(layer, child, setChild, entry.folders.front(), false, &(layer == 1 ? there.perUser : there.game));
        for (const std::wstring& rel : added) {
            if (IsVouched(inSet(rel)))
                p_.added.push_back(InSafetySet(layer, rel));
        }
    }

    // The set's folder source staged whole at rel, in place of the game's folder inPlace
    // (none where the game has none): of a folder on the way to a name chosen, only what
    // leads there.
    void StageTree(int layer, const std::wstring& rel, const std::wstring& setRel, const std::wstring& source,
                   bool within, const LayeredListing* inPlace) {
        plan_.StageFolder(layer, rel, source, within);
        LayeredListing listing({source});
        if (!inPlace && listing.Entries().empty())
            p_.changes.push_back({RestoreChange::Kind::Add, rel, true, std::nullopt, std::nullopt});
        for (const LayeredEntry* entry : listing.Entries()) {
            RefuseLink(*entry);
            std::wstring child = Join(rel, entry->entry.name);
            std::wstring setChild = Join(setRel, entry->entry.name);
            if (!choice_.Reaches(child))
                continue;
            const LayeredEntry* there = inPlace ? inPlace->Find(entry->entry.name) : nullptr;
            if (entry->entry.IsFolder()) {
                std::optional<LayeredListing> below;
                if (there && there->entry.IsFolder())
                    below.emplace(there->folders);
                StageTree(layer, child, setChild, entry->folders.front(), true, below ? &*below : nullptr);
                continue;
            }
            if (!choice_.Takes(child) || !Vouched(setChild, *entry))
                continue;
            p_.seen.insert(FoldCase(setChild));
            StageFile(layer, child, setChild, *entry, true, there);
        }
    }

    // A set with a manifest brings back only what it vouches for: a file it does not list
    // (and a folder holding none it lists) is left out, and named.
    bool IsVouched(const std::wstring& setRel) const { return !p_.hasManifest || p_.manifest.Find(setRel); }
    bool Vouched(const std::wstring& setRel, const LayeredEntry& entry) {
        if (entry.entry.IsFolder() || IsVouched(setRel))
            return true;
        p_.leftOut.push_back(ShownPath(entry.path));
        return false;
    }

    // replaces: the game's entry it takes the place of; none for a file added.
    void StageFile(int layer, const std::wstring& rel, const std::wstring& setRel, const LayeredEntry& entry,
                   bool within, const LayeredEntry* replaces) {
        const std::string* digest = p_.manifest.Find(setRel);
        std::size_t item = plan_.StageFile(layer, rel, entry.path, entry.entry.size, digest != nullptr, within);
        if (digest)
            p_.checks.push_back({item, *digest});
        RestoreChange change{RestoreChange::Kind::Add, rel, false, Stamp(entry), std::nullopt};
        if (replaces) {
            change.kind = RestoreChange::Kind::Replace;
            change.game = Stamp(*replaces);
        }
        p_.changes.push_back(std::move(change));
    }

    static FileStamp Stamp(const LayeredEntry& entry) { return {entry.entry.size, entry.entry.lastWrite}; }

    ChangePlan& plan_;
    const QuickCheck& quick_;
    RestoreJob::Plan& p_;
    const RestoreChoice& choice_;
    bool perUser_;
    bool route_;
};

// The entries of a safety set's list of what its restore added: each to be taken away.
// Where there is no per-user copy now, the game never reads such files: they stay.
void RemoveAdded(const std::vector<DataName>& added, bool perUser, const RestoreChoice& choice, ChangePlan& plan,
                 std::vector<RestoreChange>& changes) {
    for (const DataName& name : added) {
        int layer = name.InPerUserLayer() ? 1 : 0;
        if ((layer == 1 && !perUser) || !choice.Takes(name.Relative()))
            continue;
        std::optional<DirEntry> there =
            DirSearch::EntryAt(LongPath(game::Entry(plan.Layers()[static_cast<size_t>(layer)].root, name.Relative())));
        if (!there)
            continue;
        plan.Remove(layer, name);
        changes.push_back({RestoreChange::Kind::Remove, name.Relative(), there->IsFolder(), std::nullopt,
                           there->IsFolder() ? std::nullopt
                                             : std::optional<FileStamp>(FileStamp{there->size, there->lastWrite})});
    }
}

}  // namespace

RestoreJob::RestoreJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy, std::wstring journal)
    : gameFolder_(std::move(gameFolder)),
      setFolder_(std::move(setFolder)),
      perUserCopy_(std::move(perUserCopy)),
      journal_(std::move(journal)) {}

JobReport RestoreJob::Run(JobEvents& events) {
    JobReport report;
    report.gameFolder = gameFolder_;
    JobLock lock;
    if (auto refused = RefuseAtOnce(events, lock, report))
        return *refused;
    // A restore never copies a partial set that an interrupted backup left. (An interrupted
    // restore is put right only by a copy of the program with the rights for it.)
    if (FileResult recovered = PutRightFirst(journal_, gameFolder_, setFolder_, report); !recovered.Ok())
        return Refuse(events, report, JobStage::Recover, recovered);
    // Staging folders that no journal speaks of are what a removal cut short left; copies
    // never go into one that could not be removed.
    if (FileResult left = RemoveRestoreStaging(RestoreLayers(gameFolder_, perUserCopy_, L"")); !left.Ok())
        return RefuseLeftOver(events, report, left);

    const std::wstring safetySet = NewSafetySet(gameFolder_);
    JournalEntry entry{.kind = JobKind::Restore,
                       .gameFolder = gameFolder_,
                       .setFolder = setFolder_,
                       .perUserCopy = perUserCopy_,
                       .safetySet = safetySet,
                       .madeSafetySetRoot = !EntryExists(SafetySetRoot(gameFolder_))};
    Plan plan;
    JobCopy copy(events, RestoreLayers(gameFolder_, perUserCopy_, safetySet));
    if (auto stopped = Look(events, copy, plan, report))
        return *stopped;
    // The rights are asked of the file system itself, with a probe file in each folder the
    // restore writes in: the first check that writes, and the last before the journal.
    // Without them the restore would fail half-way through its swap and have to undo it.
    if (FileResult rights = CheckRestoreRights(gameFolder_, perUserCopy_); !rights.Ok())
        return Refuse(events, report, JobStage::Rights, rights);
    if (FileResult made = MakeFolderPath(gameFolder_); !made.Ok())
        return Refuse(events, report, JobStage::GameFolder, made);
    JobJournal journal(journal_);
    if (auto stopped = StopUnlessJournalWritten(events, journal, entry, report))
        return *stopped;
    try {
        CopyChanges(copy, plan, events, report);
        if (report.failedAt == JobStage::None && !copy.Plan().Swaps().empty()) {
            if (FileResult made = MakeSafetySet(plan, entry, report); !made.Ok())
                NoteFailure(report, JobStage::SafetyMarker, made);
        }
    } catch (...) {
        Discard(copy, journal, entry, report);
        throw;
    }
    if (report.failedAt == JobStage::None)
        SwapIn(copy, journal, entry, report);
    else
        Discard(copy, journal, entry, report);
    if (report.Whole() && !perUserCopy_.empty())
        report.perUserCopy = perUserCopy_;
    if (report.Whole())
        report.filesCopied = static_cast<std::uint64_t>(std::count_if(
            plan.changes.begin(), plan.changes.end(), [](const RestoreChange& change) { return change.set.has_value(); }));
    events.Finished(report);
    return report;
}

RestorePreview RestoreJob::Preview(JobEvents& events) {
    RestorePreview preview;
    preview.report.gameFolder = gameFolder_;
    JobLock lock;
    Plan plan;
    JobCopy copy(events, RestoreLayers(gameFolder_, perUserCopy_, NewSafetySet(gameFolder_)));
    std::optional<JobReport> refused = RefuseAtOnce(events, lock, preview.report);
    if (!refused)
        refused = Look(events, copy, plan, preview.report);
    if (refused) {
        preview.report = *refused;
        return preview;
    }
    preview.changes = std::move(plan.changes);
    events.Finished(preview.report);
    return preview;
}

std::optional<JobReport> RestoreJob::RefuseAtOnce(JobEvents& events, const JobLock& lock, JobReport& report) const {
    if (!lock.Held())
        return Refuse(events, report, JobStage::Busy, FileResult::Failure(lock.Error(), gameFolder_));
    // A set inside the data it replaces would be replaced by itself.
    for (const wchar_t* name : game::FolderNames) {
        if (IsSameOrInsideFolder(setFolder_, game::Entry(gameFolder_, name)))
            return Refuse(events, report, JobStage::SetInsideGame, FileResult::Failure(ERROR_INVALID_PARAMETER, setFolder_));
    }
    return std::nullopt;
}

std::optional<JobReport> RestoreJob::Look(JobEvents& events, JobCopy& copy, Plan& plan, JobReport& report) const {
    FileResult unreadable;
    if (std::optional<RefusedInput> refused = ReadLists(plan, unreadable))
        return RefuseInput(events, report, *refused);
    if (!unreadable.Ok())
        return Refuse(events, report, JobStage::Manifest, unreadable);
    if (auto unheld = RefuseUnheldChoice(events, plan, report))
        return unheld;
    ListChanges(copy, plan);
    if (plan.refused)
        return RefuseInput(events, report, *plan.refused);
    report.leftOut = plan.leftOut;
    // Every check that only reads comes first: a restore refused by one changes nothing,
    // not even a folder's time.
    return StopOnReading(events, plan.listing, plan.listingFolder, copy.Plan(), report);
}

// A name chosen that the set does not hold (in its own tree or its per-user layer, or in
// a safety set's list of what to take away) refuses the restore: a name mistyped would
// otherwise restore nothing and report success.
std::optional<JobReport> RestoreJob::RefuseUnheldChoice(JobEvents& events, const Plan& plan, JobReport& report) const {
    const std::wstring layer = PerUserLayer(setFolder_);
    for (const DataName& name : choice_.Names()) {
        if (EntryExists(LongPath(game::Entry(setFolder_, name.Relative()))) ||
            EntryExists(LongPath(game::Entry(layer, name.Relative()))))
            continue;
        const bool listed = std::any_of(plan.toRemove.begin(), plan.toRemove.end(), [&](const DataName& added) {
            return RestoreChoice({name}).Takes(added.Relative());
        });
        if (!listed)
            return Refuse(events, report, JobStage::NotInSet, FileResult::Failure(ERROR_FILE_NOT_FOUND, name.Relative()));
    }
    return std::nullopt;
}

namespace {

ListRead ReadManifest(RestoreJob::Plan& plan, const std::wstring& path) {
    ListRead read = plan.manifest.Read(path);
    plan.hasManifest = read.state == ListRead::State::Read;
    return read;
}

}  // namespace

// The set's lists, read before anything else: a manifest or a list of added files that
// this program did not write refuses the restore.
std::optional<RefusedInput> RestoreJob::ReadLists(Plan& plan, FileResult& unreadable) const {
    const std::wstring manifest = game::Entry(setFolder_, SetManifest::FileName);
    const std::pair<std::wstring, ListRead> reads[] = {
        {manifest, ReadManifest(plan, manifest)},
        {game::Entry(setFolder_, game::AddedListName), ReadAddedList(setFolder_, plan.toRemove)},
    };
    for (const auto& [path, read] : reads) {
        if (read.state == ListRead::State::Refused)
            return read.refused;
        if (read.state == ListRead::State::Unreadable) {
            unreadable = FileResult::Failure(read.error, path);
            return std::nullopt;
        }
    }
    return std::nullopt;
}

void RestoreJob::ListChanges(JobCopy& copy, Plan& plan) const {
    copy.List([&](ChangePlan& changes) {
        // A safety set's layer of the per-user copy goes back there; where there is no
        // per-user copy now, the game never reads such files, and they stay in the set.
        const std::wstring layer = PerUserLayer(setFolder_);
        QuickCheck quick({gameFolder_, perUserCopy_, setFolder_});
        RestoreWalk walk(changes, quick, plan, choice_, !perUserCopy_.empty(), !IsExistingFolder(LongPath(layer)));
        try {
            LayeredListing set({LongPath(setFolder_)});
            const LayeredEntry* layerEntry = set.Find(kPerUserLayer);
            const bool layered = layerEntry && layerEntry->entry.IsFolder();
            if (layered)
                RefuseLink(*layerEntry);
            LayeredListing perUserSet(layered && !perUserCopy_.empty() ? std::vector{LongPath(layer)}
                                                                         : std::vector<std::wstring>{});
            // The folders first, those of the per-user layer after the set's own, then the cfg.
            auto top = [&](const LayeredListing& listing, int to, const wchar_t* name, bool wantFolder) {
                const LayeredEntry* entry = listing.Find(name);
                if (!entry || entry->entry.IsFolder() != wantFolder)
                    return false;
                plan.listingFolder = game::Entry(to == 1 ? layer : setFolder_, name);
                walk.Top(to, to == 1 ? kPerUserLayer : L"", *entry);
                return true;
            };
            for (const wchar_t* name : game::FolderNames) {
                // A folder the set lacks is an empty one: the game keeps its own, or gets an
                // empty one where it has none. The set itself is only read.
                if (!top(set, 0, name, true) && !set.Find(name) && choice_.Reaches(name))
                    AddEmptyFolder(changes, plan, name);
                if (name == game::FolderNames[0])
                    plan.savesEnd = changes.Items().size();
                if (name == game::FolderNames[1])
                    plan.mapsEnd = changes.Items().size();
            }
            for (const wchar_t* name : game::FolderNames)
                top(perUserSet, 1, name, true);
            plan.foldersEnd = changes.Items().size();
            if (choice_.Takes(game::ConfigName)) {
                plan.configFound = top(set, 0, game::ConfigName, false);
                plan.configFound = top(perUserSet, 1, game::ConfigName, false) || plan.configFound;
            }
            RemoveAdded(plan.toRemove, !perUserCopy_.empty(), choice_, changes, plan.changes);
        } catch (const AppError& e) {
            plan.listing = FileResult::Failure(static_cast<DWORD>(e.Number()), plan.listingFolder);
        } catch (const RefusedInput& refused) {
            plan.refused = refused;
        }
    });
}

void RestoreJob::AddEmptyFolder(ChangePlan& changes, Plan& plan, const wchar_t* name) const {
    if (EntryExists(game::Entry(gameFolder_, name)) ||
        (!perUserCopy_.empty() && EntryExists(game::Entry(perUserCopy_, name))))
        return;
    changes.StageFolder(0, name, LongPath(setFolder_));
    plan.added.push_back(name);
    plan.changes.push_back({RestoreChange::Kind::Add, name, true, std::nullopt, std::nullopt});
}

void RestoreJob::CopyChanges(JobCopy& copy, Plan& plan, JobEvents& events, JobReport& report) const {
    const std::size_t ends[] = {plan.savesEnd, plan.mapsEnd, plan.foldersEnd};
    for (size_t i = 0; i < std::size(ends); ++i) {
        std::wstring folder = game::Entry(setFolder_, game::FolderNames[i]);
        if (report.FoldersWhole() && CopyFolderStage(copy, ends[i], folder, report))
            report.copiedFolders.push_back(folder);
        if (i == 0)
            events.Checkpoint();
        else
            YieldThreeTimes(events);
    }
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    // A set without a configuration file leaves the game's own in place.
    if (plan.configFound)
        CopyConfigStage(copy, copy.Plan().Items().size(), report);
    else
        report.config = ConfigCopy::Missing;
    events.Checkpoint();
    if (report.failedAt != JobStage::None || !CopyRestAndFlush(copy, copy.Plan().Items().size(), report))
        return;
    // Checked before it is trusted: every copy against the set's manifest, and every file
    // the manifest lists there.
    for (const Plan::Check& check : plan.checks) {
        if (copy.Digest(check.item) != check.digest)
            report.damaged.push_back(copy.Plan().ShownSource(check.item));
    }
    const std::wstring layerPrefix = std::wstring(kPerUserLayer) + L"\\";
    for (const std::wstring& listed : plan.manifest.Paths()) {
        const bool inLayer = listed.compare(0, layerPrefix.size(), layerPrefix) == 0;
        if (!choice_.Takes(inLayer ? listed.substr(layerPrefix.size()) : listed))
            continue;
        if (!plan.seen.count(FoldCase(listed)))
            report.damaged.push_back(game::Entry(setFolder_, listed));
    }
    if (!report.damaged.empty())
        NoteFailure(report, JobStage::Damaged, FileResult::Failure(ERROR_FILE_CORRUPT, setFolder_));
}

// What the swap replaces goes into a new safety set: its marker, and the list of what
// the restore adds, which undoing the restore takes away again.
FileResult RestoreJob::MakeSafetySet(const Plan& plan, const JournalEntry& entry, JobReport& report) const {
    if (FileResult made = MakeFolderPath(entry.safetySet); !made.Ok())
        return made;
    std::string list = EncodeAddedList(plan.added);
    if (FileResult written = WriteFileDurably(game::Entry(entry.safetySet, game::AddedListName), list); !written.Ok())
        return written;
    std::wstring marker = WriteMarker(entry.safetySet);
    // Data without a marker would be out of the player's reach.
    if (!MarkerReadsBack(marker, entry.safetySet))
        return FileResult::Failure(ERROR_WRITE_FAULT, marker);
    report.safetySet = entry.safetySet;
    report.safetyMarker = marker;
    return FileResult::Success();
}

void RestoreJob::SwapIn(JobCopy& copy, JobJournal& journal, JournalEntry& entry, JobReport& report) const {
    const std::vector<SwapLayer>& layers = copy.Plan().Layers();
    const std::vector<SwapEntry>& swaps = copy.Plan().Swaps();
    if (!swaps.empty()) {
        StagedSwap swap(layers, swaps);
        // What each entry replaces is recorded with the list; a staged copy gone since it
        // was made stops the restore here, before anything is in place.
        PassStage("staged");
        FileResult listed = copy.Plan().CheckStaged();
        if (listed.Ok())
            listed = swap.Record();
        if (!listed.Ok()) {
            NoteFailure(report, JobStage::Swap, listed);
            Discard(copy, journal, entry, report);
            return;
        }
        listed = WriteFileDurably(SwapListPath(layers[0].staging), StagedSwap::Encode(swap.Entries()));
        entry.stage = JournalStage::Swapping;
        if (listed.Ok())
            listed = journal.Write(entry);
        if (!listed.Ok()) {
            NoteFailure(report, JobStage::Journal, listed);
            Discard(copy, journal, entry, report);
            return;
        }
        PassStage("committing");
        FileResult swapped = copy.Run(JobActivity::Placing, [&] { return swap.Forward(); });
        if (!swapped.Ok()) {
            // A file of the game's held open (the game runs): all goes back as it was. A
            // journal that cannot say so stops here: it says the swap goes forward, and the
            // next start finishes the restore from it.
            NoteFailure(report, JobStage::Swap, swapped);
            entry.stage = JournalStage::Unswapping;
            FileResult back = journal.Write(entry);
            if (back.Ok())
                back = copy.Run(JobActivity::Undoing, [&] { return swap.Backward(); });
            if (!back.Ok()) {
                NoteRollbackFailed(report, entry.safetySet, back);
                return;
            }
            PassStage("swap undone");
            Discard(copy, journal, entry, report);
            return;
        }
        // What the swap set aside is hashed where it lies now, in the safety set, which is
        // then checked like any set: by sha256sum -c, /verify and its own restore.
        if (FileResult manifest = WriteSetManifest(entry.safetySet); !manifest.Ok())
            report.safetyManifest = manifest;
        entry.stage = JournalStage::Committing;
        // Until the journal says the restore stands, its staging folder stays for the next
        // start to finish from.
        if (!journal.Write(entry).Ok())
            return;
    }
    (void)copy.Run(JobActivity::Finishing, [&] {
        (void)RemoveRestoreStaging(layers);
        PruneSafetySets(SafetySetRoot(gameFolder_), SafetySetsKept, setFolder_);
        return FileResult::Success();
    });
    (void)journal.Remove();
}

// Nothing the restore staged is swapped in: the staging folders go, and the safety set
// (which holds nothing but its marker and list then) with them.
void RestoreJob::Discard(JobCopy& copy, JobJournal& journal, const JournalEntry& entry, JobReport& report) const {
    UndoStaging(copy, journal, [&] {
        (void)RemoveRestoreStaging(copy.Plan().Layers());
        (void)DeleteTree(entry.safetySet);
        if (entry.madeSafetySetRoot)
            RemoveDirectoryW(LongPath(SafetySetRoot(gameFolder_)).c_str());
    }, report);
    report.safetySet.clear();
    report.safetyMarker.clear();
}
