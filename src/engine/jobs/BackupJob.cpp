#include "engine/jobs/BackupJob.h"

#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/game/GameLayout.h"
#include "engine/jobs/CopySteps.h"
#include "engine/jobs/JobCopy.h"
#include "engine/journal/JobLock.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SetManifest.h"
#include "engine/staging/BackupStaging.h"
#include "engine/staging/ChangePlan.h"
#include "engine/staging/LayeredListing.h"
#include "files/DiskSpace.h"
#include "files/ExistingFolder.h"
#include "files/QuickCheck.h"
#include "runtime/AppError.h"
#include "runtime/StageHook.h"

// An earlier set whose files a new set links to where they are the same (see BackupJob.h).
struct LinkSource {
    std::wstring folder;
    SetManifest manifest;
};

struct BackupJob::Plan {
    LinkSource link;      // its folder is "" where the backup links to nothing
    SetManifest earlier;  // the set's manifest before the backup
    SetManifest next;     // the new set's
    std::string earlierText;
    // The files whose digest the copy's own pass takes: their path in the set, their item.
    std::vector<std::pair<std::wstring, std::size_t>> hashed;
    std::size_t ends[std::size(game::DataNames)] = {};  // the items of saves, maps, scores, the cfg
    bool configFound = false;
    bool perUser = false;  // the per-user copy holds game data
    std::wstring listingFolder;
    FileResult listing;
    std::optional<RefusedInput> refused;  // a link in the set, or names only case apart
};

namespace {

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
}

std::wstring NameOf(const std::wstring& path) { return path.substr(path.find_last_of(L'\\') + 1); }

// The game data over the set, entry by entry: what is the same stays, what differs or is
// new is staged, and what only the set has stays too (the copy merges into the set).
class BackupWalk {
public:
    BackupWalk(ChangePlan& plan, const QuickCheck& quick, const SetManifest& earlier, SetManifest& next,
               std::vector<std::pair<std::wstring, std::size_t>>& hashed, const LinkSource& link)
        : plan_(plan), quick_(quick), earlier_(earlier), next_(next), hashed_(hashed), link_(link) {}

    // The set is written through renames: a link in it would move what lies elsewhere.
    void Entry(const std::wstring& rel, const LayeredEntry& source, const LayeredEntry* inSet) {
        if (inSet)
            RefuseLink(*inSet);
        if (!source.entry.IsFolder()) {
            // The same size and time, and a digest to carry over: the file stands.
            if (inSet && quick_.Same(source.entry, inSet->entry)) {
                if (const std::string* digest = earlier_.Find(rel)) {
                    next_.Set(rel, *digest);
                    return;
                }
            }
            StageNew(rel, source, false);
            return;
        }
        if (!inSet || !inSet->entry.IsFolder()) {
            StageTree(rel, source.folders, false);
            return;
        }
        // A folder of the set in which nothing stays is replaced whole: one swap, not one a file.
        LayeredListing sources(source.folders);
        LayeredListing set({inSet->folders.front()});
        // A set's file stands where it is the same and its digest carries over.
        auto stays = [&](const std::wstring& path, const DirEntry& coming, const DirEntry& inPlace) {
            return quick_.Same(coming, inPlace) && earlier_.Find(path);
        };
        if (ReplacesWhole(sources, set, rel, stays))
            StageTree(rel, source.folders, false);
        else
            Folder(rel, sources, set);
    }

    // What only the set has stays; its digest is carried over, or read where the set's
    // manifest lacks it.
    void Keep(const std::wstring& rel, const LayeredEntry& inSet) {
        RefuseLink(inSet);
        if (inSet.entry.IsFolder()) {
            LayeredListing listing(inSet.folders);
            for (const LayeredEntry* entry : listing.Entries())
                Keep(Join(rel, entry->entry.name), *entry);
            return;
        }
        if (const std::string* digest = earlier_.Find(rel))
            next_.Set(rel, *digest);
        else
            hashed_.emplace_back(rel, plan_.Read(rel, inSet.path, inSet.entry.size));
    }

private:
    void Folder(const std::wstring& rel, const LayeredListing& source, const LayeredListing& set) {
        for (const LayeredEntry* entry : source.Entries())
            Entry(Join(rel, entry->entry.name), *entry, set.Find(entry->entry.name));
        for (const LayeredEntry* entry : set.Entries()) {
            if (!source.Find(entry->entry.name))
                Keep(Join(rel, entry->entry.name), *entry);
        }
    }

    // A folder the set lacks (or has as a file): staged whole, swapped in as one entry.
    void StageTree(const std::wstring& rel, const std::vector<std::wstring>& sources, bool within) {
        plan_.StageFolder(0, rel, sources.front(), within);
        LayeredListing listing(sources);
        for (const LayeredEntry* entry : listing.Entries()) {
            std::wstring child = Join(rel, entry->entry.name);
            if (entry->entry.IsFolder())
                StageTree(child, entry->folders, true);
            else
                StageNew(child, *entry, true);
        }
    }

    // A file the set does not have as it is: a hard link to the earlier set's file where
    // that one is the same and its digest is known, else a copy hashed on the way.
    void StageNew(const std::wstring& rel, const LayeredEntry& source, bool within) {
        if (const std::string* digest = LinkableDigest(rel, source.entry)) {
            next_.Set(rel, *digest);
            plan_.StageLink(0, rel, source.path, LongPath(link_.folder + L"\\" + rel), source.entry.size, within);
            return;
        }
        hashed_.emplace_back(rel, plan_.StageFile(0, rel, source.path, source.entry.size, true, within));
    }

    const std::string* LinkableDigest(const std::wstring& rel, const DirEntry& coming) {
        const std::string* digest = link_.folder.empty() ? nullptr : link_.manifest.Find(rel);
        if (!digest)
            return nullptr;
        // The earlier set's file as its folder lists it (each folder listed once); a folder
        // or a link is never linked to.
        size_t cut = rel.find_last_of(L'\\');
        std::wstring folder = cut == std::wstring::npos ? std::wstring() : rel.substr(0, cut);
        auto& listing = linkListings_[folder];
        if (!listing)
            listing = std::make_unique<LayeredListing>(std::vector{LongPath(Join(link_.folder, folder))});
        const LayeredEntry* there = listing->Find(rel.substr(cut == std::wstring::npos ? 0 : cut + 1));
        if (!there || (there->entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return nullptr;
        return quick_.Same(coming, there->entry) ? digest : nullptr;
    }

    ChangePlan& plan_;
    const QuickCheck& quick_;
    const SetManifest& earlier_;
    SetManifest& next_;
    std::vector<std::pair<std::wstring, std::size_t>>& hashed_;
    const LinkSource& link_;
    std::unordered_map<std::wstring, std::unique_ptr<LayeredListing>> linkListings_;  // by folder below the set
};

}  // namespace

BackupJob::BackupJob(std::wstring gameFolder, std::wstring setFolder, std::wstring perUserCopy, std::wstring journal,
                     std::wstring linkFrom, bool madeSetFolder)
    : gameFolder_(std::move(gameFolder)),
      setFolder_(std::move(setFolder)),
      perUserCopy_(std::move(perUserCopy)),
      journal_(std::move(journal)),
      linkFrom_(std::move(linkFrom)),
      madeSetFolder_(madeSetFolder) {}

JobReport BackupJob::Run(JobEvents& events) {
    JobReport report;
    report.gameFolder = gameFolder_;
    JobLock lock;
    if (!lock.Held())
        return Refuse(events, report, JobStage::Busy, FileResult::Failure(lock.Error(), setFolder_));
    // Nothing to back up is not a backup: no copies, no marker, nothing touched.
    if (!IsExistingFolder(gameFolder_))
        return Refuse(events, report, JobStage::GameFolder, FileResult::Failure(ERROR_PATH_NOT_FOUND, gameFolder_));
    if (FileResult recovered = PutRightFirst(journal_, gameFolder_, setFolder_, report); !recovered.Ok())
        return Refuse(events, report, JobStage::Recover, recovered);
    // Copies never go into what an earlier backup left and could not remove.
    if (FileResult left = RemoveStagingFolders(setFolder_); !left.Ok())
        return RefuseLeftOver(events, report, left);
    report.earlierSet = game::HoldsGameData(setFolder_);

    Plan plan;
    JobCopy copy(events, {BackupLayer(setFolder_, StagingState::Copying)});
    ListChanges(copy, plan, report);
    if (plan.refused)
        return RefuseInput(events, report, *plan.refused);
    JobJournal journal(journal_);
    JournalEntry entry;
    entry.gameFolder = gameFolder_;
    entry.setFolder = setFolder_;
    entry.perUserCopy = perUserCopy_;
    entry.madeSetFolder = madeSetFolder_;
    if (auto stopped = StopBeforeChanges(events, plan.listing, plan.listingFolder, copy.Plan(), journal, entry, report))
        return *stopped;

    try {
        CopyChanges(copy, plan, events, report);
        if (report.failedAt == JobStage::None) {
            if (FileResult staged = StageManifestAndMarker(copy, plan); !staged.Ok())
                NoteFailure(report, JobStage::Marker, staged);
        }
    } catch (...) {
        UndoStaging(copy, journal, [&] { (void)RemoveStagingFolders(setFolder_); }, report);
        throw;
    }
    report.filesLinked = copy.FilesLinked();
    report.filesCopied = copy.FilesDone() - copy.FilesLinked();
    if (report.failedAt == JobStage::None)
        SwapIn(copy, journal, entry, report);
    else
        UndoStaging(copy, journal, [&] { (void)RemoveStagingFolders(setFolder_); }, report);
    events.Finished(report);
    return report;
}

void BackupJob::ListChanges(JobCopy& copy, Plan& plan, JobReport& report) const {
    // A manifest the set holds that this program did not write carries nothing over: every
    // file is hashed afresh, and the new manifest takes its place.
    const std::wstring manifest = game::Entry(setFolder_, SetManifest::FileName);
    ListRead read = ReadListFile(manifest, SetManifest::MaxBytes);
    if (read.state == ListRead::State::Read && plan.earlier.Decode(read.text, manifest).state == ListRead::State::Read)
        plan.earlierText = std::move(read.text);
    // An earlier set whose manifest cannot be trusted gives nothing to link to.
    if (!linkFrom_.empty() &&
        plan.link.manifest.Read(game::Entry(linkFrom_, SetManifest::FileName)).state == ListRead::State::Read)
        plan.link.folder = linkFrom_;
    copy.List([&](ChangePlan& changes) {
        MakeMissingDataFolders(gameFolder_);
        std::vector<std::wstring> sources{LongPath(gameFolder_)};
        if (!perUserCopy_.empty())
            sources.push_back(LongPath(perUserCopy_));
        QuickCheck quick({gameFolder_, perUserCopy_, setFolder_, linkFrom_});
        BackupWalk walk(changes, quick, plan.earlier, plan.next, plan.hashed, plan.link);
        try {
            LayeredListing game(sources);
            LayeredListing set({LongPath(setFolder_)});
            LayeredListing perUser(perUserCopy_.empty() ? std::vector<std::wstring>{} : std::vector{sources.back()});
            for (size_t i = 0; i < std::size(game::DataNames); ++i) {
                const wchar_t* name = game::DataNames[i];
                plan.listingFolder = game::Entry(gameFolder_, name);
                plan.perUser = plan.perUser || perUser.Find(name);
                const LayeredEntry* source = game.Find(name);
                const LayeredEntry* inSet = set.Find(name);
                if (source)
                    walk.Entry(name, *source, inSet);
                else if (inSet)
                    walk.Keep(name, *inSet);
                plan.ends[i] = changes.Items().size();
            }
            plan.configFound = game.Find(game::ConfigName) && !game.Find(game::ConfigName)->entry.IsFolder();
        } catch (const AppError& e) {
            plan.listing = FileResult::Failure(static_cast<DWORD>(e.Number()), plan.listingFolder);
        } catch (const RefusedInput& refused) {
            plan.refused = refused;
        }
    });
    if (plan.perUser)
        report.perUserCopy = perUserCopy_;
}

void BackupJob::CopyChanges(JobCopy& copy, const Plan& plan, JobEvents& events, JobReport& report) const {
    for (size_t i = 0; i < std::size(game::FolderNames); ++i) {
        if (!CopyFolderStage(copy, plan.ends[i], game::Entry(gameFolder_, game::FolderNames[i]), report))
            break;
        report.copiedFolders.push_back(game::Entry(gameFolder_, game::FolderNames[i]));
        events.Checkpoint();
    }
    events.FoldersCopied(report);
    if (!report.FoldersWhole())
        return;
    if (plan.configFound)
        CopyConfigStage(copy, plan.ends[3], report);
    else
        report.config = ConfigCopy::Missing;
    events.Checkpoint();
    if (report.failedAt == JobStage::None)
        CopyRestAndFlush(copy, copy.Plan().Items().size(), report);
}

// The new set's manifest and marker, written into the staging folder beside the copies,
// on the disk before anything is swapped in.
FileResult BackupJob::StageManifestAndMarker(JobCopy& copy, Plan& plan) const {
    for (const auto& [rel, item] : plan.hashed) {
        std::string digest = copy.Digest(item);
        if (digest.empty())
            return FileResult::Failure(ERROR_READ_FAULT, copy.Plan().ShownSource(item));
        plan.next.Set(rel, std::move(digest));
    }
    const std::wstring staging = BackupLayer(setFolder_, StagingState::Copying).staging;
    ChangePlan& changes = copy.Changes();
    if (FileResult made = MakeFolderPath(staging); !made.Ok())
        return made;
    // A manifest that says what the earlier one says stays as it is.
    if (plan.next.Text() != plan.earlierText) {
        if (FileResult written = WriteFileDurably(game::Entry(staging, SetManifest::FileName), plan.next.Text());
            !written.Ok())
            return written;
        changes.StagedByJob(0, SetManifest::FileName);
    }
    const std::wstring marker = MarkerPathToday(setFolder_);
    const std::wstring name = NameOf(marker);
    // A folder where the manifest or the marker goes is the player's, not the set's: it stays.
    for (const std::wstring& place : {game::Entry(setFolder_, SetManifest::FileName), marker}) {
        if (IsExistingFolder(LongPath(place)))
            return FileResult::Failure(ERROR_DIRECTORY, place);
    }
    if (FileResult written = WriteMarkerFile(game::Entry(staging, name), setFolder_, marker); !written.Ok())
        return FileResult::Failure(written.error, marker);
    changes.StagedByJob(0, name);
    return FileResult::Success();
}

// Everything is staged and on the disk: the list of entries is written, with what each
// replaces, the staging folder renamed to say so (from here on the swap is finished, never
// undone), and each entry swapped into place.
void BackupJob::SwapIn(JobCopy& copy, JobJournal& journal, JournalEntry& entry, JobReport& report) const {
    const SwapLayer copying = BackupLayer(setFolder_, StagingState::Copying);
    const SwapLayer swapping = BackupLayer(setFolder_, StagingState::Swapping);
    StagedSwap swap({copying}, copy.Plan().Swaps());
    // A staged copy gone since it was made (an antivirus, a player tidying up) stops the
    // backup here, before anything is in place.
    PassStage("staged");
    FileResult committed = copy.Plan().CheckStaged();
    if (committed.Ok())
        committed = swap.Record();
    if (committed.Ok())
        committed = WriteFileDurably(SwapListPath(copying.staging), StagedSwap::Encode(swap.Entries()));
    if (committed.Ok())
        committed = RenameEntryDurably(copying.staging, swapping.staging);
    if (!committed.Ok()) {
        NoteFailure(report, JobStage::Swap, committed);
        UndoStaging(copy, journal, [&] { (void)RemoveStagingFolders(setFolder_); }, report);
        return;
    }
    PassStage("committing");
    entry.stage = JournalStage::Swapping;
    (void)journal.Write(entry);  // the staging folder's name already says it
    swap.Relocate({swapping});
    FileResult swapped = copy.Run(JobActivity::Placing, [&] { return swap.Forward(); });
    if (swapped.Ok()) {
        report.marker = MarkerPathToday(setFolder_);
        entry.stage = JournalStage::Committing;
        // Until the journal says the set stands, its staging folder stays for the next
        // start to finish from: that start then says the backup was finished.
        if (journal.Write(entry).Ok()) {
            (void)copy.Run(JobActivity::Finishing, [&] {
                (void)RemoveStagingFolders(setFolder_);
                return FileResult::Success();
            });
            (void)journal.Remove();
        }
        return;
    }
    // A swap that cannot go on (a file of the set held open) is taken back.
    NoteFailure(report, JobStage::Swap, swapped);
    const SwapLayer takingBack = BackupLayer(setFolder_, StagingState::TakingBack);
    entry.stage = JournalStage::Unswapping;
    FileResult back = RenameEntryDurably(swapping.staging, takingBack.staging);
    if (back.Ok()) {
        (void)journal.Write(entry);  // the staging folder's name already says it
        swap.Relocate({takingBack});
        back = copy.Run(JobActivity::Undoing, [&] { return swap.Backward(); });
    }
    if (!back.Ok()) {
        NoteRollbackFailed(report, takingBack.kept, back);
        return;
    }
    PassStage("swap undone");
    UndoStaging(copy, journal, [&] { (void)RemoveStagingFolders(setFolder_); }, report);
}
