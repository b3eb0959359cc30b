// The backup and restore jobs on real folders, without any window: a game folder and a
// set folder made for each test, real faults (a file held open, chattr +i, a full RAM
// disk, a path over 260 characters), and after each: either the job is whole, or the
// earlier data is exactly as it was.

#include <windows.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "engine/game/GameLayout.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/EarlierSet.h"
#include "engine/sets/SafetySets.h"
#include "engine/sets/SetVerify.h"
#include "engine/staging/BackupStaging.h"
#include "engine/staging/RestoreStaging.h"
#include "files/FileOps.h"
#include "files/FullPath.h"
#include "runtime/Handles.h"
#include "runtime/StageHook.h"
#include "runtime/TextConv.h"

namespace {

struct StopJob {};

// Records the job's events in order; a test may stop the job at one of them.
class RecordingEvents final : public JobEvents {
public:
    void Checkpoint() override { Stop("checkpoint"); }
    void YieldPoint() override {
        seen.push_back("yield");
        Stop("yield");
    }
    void Progress(const JobProgress& progress) override { progressSeen.push_back(progress); }
    void FoldersCopied(const JobReport&) override {
        seen.push_back("folders");
        Stop("folders");
    }
    void Finished(const JobReport&) override { seen.push_back("finished"); }

    std::vector<std::string> seen;
    std::vector<JobProgress> progressSeen;
    std::string stopAt;  // the event at which to stop the job, if any
    std::function<void()> atFolders;

private:
    void Stop(const std::string& event) {
        if (event == "folders" && atFolders)
            atFolders();
        if (event == stopAt)
            throw StopJob{};
    }
};

class JobTest : public testing::Test {
public:
    std::wstring Game() const { return dir / L"vol\\Tarnwick"; }
    std::wstring Set() const { return dir / L"set"; }
    std::wstring SafetyRoot() const { return dir / L"vol\\Tarnwick safety sets"; }

    std::wstring Journal() const { return dir / L"journal\\job journal.txt"; }
    JobReport Backup() { return BackupJob(Game(), Set(), L"", Journal()).Run(events); }
    JobReport Restore(const std::wstring& set) { return RestoreJob(Game(), set, L"", Journal()).Run(events); }
    JobReport Restore() { return Restore(Set()); }

    // A set folder that holds an earlier backup with its marker.
    void MakeEarlierSet() {
        MakeGameData(Set(), "earlier");
        WriteTextFile(Set() + L"\\saves\\only earlier.sav", "kept by merging");
        marker = WriteMarker(Set());
    }

    ScratchDir dir;
    RecordingEvents events;
    std::wstring marker;
};

// ---- Backup --------------------------------------------------------------------

TEST_F(JobTest, BackupIntoANewFolderIsWholeWithItsMarker) {
    MakeGameData(Game(), "now");
    MakeDirs(Set());
    JobReport report = Backup();
    EXPECT_TRUE(report.Whole());
    EXPECT_EQ(events.seen, (std::vector<std::string>{"folders", "finished"}));
    EXPECT_EQ(report.copiedFolders, (std::vector<std::wstring>{Game() + L"\\saves", Game() + L"\\maps",
                                                               Game() + L"\\scores"}));
    EXPECT_EQ(report.config, ConfigCopy::Copied);
    EXPECT_EQ(ListTree(Set() + L"\\saves"), ListTree(Game() + L"\\saves"));
    EXPECT_EQ(ReadTextFile(Set() + L"\\tarnwick.cfg"), "cfg now");
    EXPECT_EQ(report.marker, MarkerPathToday(Set()));
    EXPECT_TRUE(MarkerReadsBack(report.marker, Set()));
}

TEST_F(JobTest, BackupOverAnEarlierSetMergesAndLeavesNoHoldingFolder) {
    MakeGameData(Game(), "now");
    MakeEarlierSet();
    JobReport report = Backup();
    ASSERT_TRUE(report.Whole());
    EXPECT_TRUE(report.earlierSet);
    EXPECT_EQ(ReadTextFile(Set() + L"\\saves\\quick.sav"), "quick now");
    EXPECT_EQ(ReadTextFile(Set() + L"\\saves\\only earlier.sav"), "kept by merging");
    // Only the set, its manifest and its markers stay: no staging or keeping folder.
    for (const auto& [path, content] : ListTree(Set())) {
        bool data = path.rfind(L"saves", 0) == 0 || path.rfind(L"maps", 0) == 0 ||
                    path.rfind(L"scores", 0) == 0 || path == L"tarnwick.cfg";
        bool markerOrManifest = path.find(L"\\") == std::wstring::npos && path.rfind(L"Tarnwick", 0) == 0 &&
                                (path.ends_with(L".BAK") || path.ends_with(L".sha256"));
        bool setEntry = data || markerOrManifest;
        EXPECT_TRUE(setEntry) << Narrow(path);
    }
}

TEST_F(JobTest, FailedBackupLeavesTheEarlierSetAndItsMarkerExactlyAsTheyWere) {
    // Each fault stops the backup at another point; each time the earlier set and its
    // marker must be untouched.
    struct Fault {
        const char* name;
        std::function<std::shared_ptr<void>(JobTest&)> make;
        JobStage stage;
    };
    const Fault faults[] = {
        {"a game save nobody may read",
         [](JobTest& t) { return std::make_shared<FileHandle>(HoldOpen(t.Game() + L"\\saves\\quick.sav")); },
         JobStage::Folders},
        {"a configuration file the game holds open",
         [](JobTest& t) { return std::make_shared<FileHandle>(HoldOpen(t.Game() + L"\\tarnwick.cfg")); },
         JobStage::Config},
        {"a file of the earlier set held open by another program",
         [](JobTest& t) { return std::make_shared<FileHandle>(HoldOpen(t.Set() + L"\\saves\\quick.sav")); },
         JobStage::Swap},
        {"an earlier set's folder the kernel refuses to change (chattr +i)",
         [](JobTest& t) -> std::shared_ptr<void> {
             auto scope = std::make_shared<ImmutableScope>(t.Set() + L"\\saves");
             return scope->Ok() ? scope : nullptr;
         },
         JobStage::Swap},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        RemoveTree(Game());
        RemoveTree(Set());
        MakeGameData(Game(), "now");
        MakeEarlierSet();
        Tree before = ListTree(Set());
        std::string markerBefore = ReadTextFile(marker);
        JobReport report;
        {
            auto held = fault.make(*this);
            if (!held)
                continue;  // chattr +i is not available here
            report = Backup();
        }
        EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
        EXPECT_EQ(report.failedAt, fault.stage);
        EXPECT_TRUE(report.earlierSet);
        EXPECT_TRUE(report.marker.empty());
        EXPECT_EQ(ListTree(Set()), before);
        EXPECT_EQ(ReadTextFile(marker), markerBefore);
    }
}

TEST_F(JobTest, FailedBackupIntoAFreshFolderLeavesNothingBehind) {
    MakeGameData(Game(), "now");
    MakeDirs(Set());
    WriteTextFile(Set() + L"\\notes.txt", "the player's own file");
    Tree before = ListTree(Set());
    {
        FileHandle held = HoldOpen(Game() + L"\\maps\\fen.map");
        JobReport report = Backup();
        EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
        EXPECT_FALSE(report.earlierSet);
        ASSERT_EQ(report.folderFailures.size(), 1u);
        EXPECT_EQ(report.folderFailures[0].firstFile, Game() + L"\\maps\\fen.map");
    }
    EXPECT_EQ(ListTree(Set()), before);
    EXPECT_FALSE(PathExists(MarkerPathToday(Set())));
}

TEST_F(JobTest, BackupWithoutAGameFolderTouchesNothing) {
    MakeDirs(Set());
    JobReport report = Backup();
    EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
    EXPECT_EQ(report.failedAt, JobStage::GameFolder);
    EXPECT_FALSE(PathExists(Game()));
    EXPECT_TRUE(ListTree(Set()).empty());
    EXPECT_EQ(events.seen, (std::vector<std::string>{"folders", "finished"}));
}

TEST_F(JobTest, MarkerThatCannotBeWrittenUndoesTheBackup) {
    MakeGameData(Game(), "now");
    MakeEarlierSet();
    DeleteFileW(marker.c_str());
    MakeDirs(marker);  // a folder where the marker file should be
    Tree before = ListTree(Set());
    JobReport report = Backup();
    EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
    EXPECT_EQ(report.failedAt, JobStage::Marker);
    EXPECT_EQ(report.failure.item, marker);
    EXPECT_EQ(ListTree(Set()), before);
}

TEST_F(JobTest, BackupStoppedByTheUserIsUndone) {
    MakeGameData(Game(), "now");
    MakeEarlierSet();
    Tree before = ListTree(Set());
    events.stopAt = "folders";
    EXPECT_THROW(Backup(), StopJob);
    EXPECT_EQ(ListTree(Set()), before);
}

// What a backup cut off (a power cut, a stick pulled out) leaves in the set folder, in
// each state the holding folder's name tells, without a journal to say more: the next
// backup into the folder, and a restore from it, first put the earlier set back.
TEST_F(JobTest, InterruptedBackupInTheSetFolderIsPutRightFirst) {
    struct Case {
        EarlierSetState state;
        std::vector<const wchar_t*> held;  // the entries in the holding folder
        bool partialCopy;                  // the set folder holds part of a new copy
    };
    const Case cases[] = {
        {EarlierSetState::BeingSetAside, {L"saves", L"maps"}, false},
        {EarlierSetState::Kept, {L"saves", L"maps", L"scores", L"tarnwick.cfg"}, true},
        {EarlierSetState::BeingPutBack, {L"maps", L"scores", L"tarnwick.cfg"}, false},
    };
    for (const Case& c : cases) {
        for (bool restore : {false, true}) {
            SCOPED_TRACE(std::to_string(static_cast<int>(c.state)) + (restore ? " restore" : " backup"));
            RemoveTree(dir.Path());
            MakeGameData(Game(), "now");
            MakeEarlierSet();
            std::wstring holding = EarlierSetFolder(Set(), c.state);
            MakeDirs(holding);
            for (const wchar_t* name : c.held)
                ASSERT_TRUE(MoveFileW((Set() + L"\\" + name).c_str(), (holding + L"\\" + name).c_str()));
            if (c.partialCopy) {
                MakeDirs(Set() + L"\\saves");
                WriteTextFile(Set() + L"\\saves\\quick.sav", "half");
            }
            JobReport report = restore ? Restore() : Backup();
            ASSERT_TRUE(report.Whole());
            EXPECT_TRUE(report.setRecovered);
            EXPECT_FALSE(HoldsInterruptedBackup(Set()));
            std::wstring data = restore ? Game() : Set();
            EXPECT_EQ(ReadTextFile(data + L"\\saves\\quick.sav"), restore ? "quick earlier" : "quick now");
            EXPECT_EQ(ReadTextFile(data + L"\\saves\\only earlier.sav"), "kept by merging");
        }
    }
}

TEST_F(JobTest, RestoreRefusesASetFolderThatCannotBePutRight) {
    MakeGameData(Game(), "now");
    MakeEarlierSet();
    std::wstring holding = EarlierSetFolder(Set(), EarlierSetState::Kept);
    MakeDirs(holding);
    for (const wchar_t* name : {L"saves", L"maps", L"scores", L"tarnwick.cfg"})
        ASSERT_TRUE(MoveFileW((Set() + L"\\" + name).c_str(), (holding + L"\\" + name).c_str()));
    Tree gameBefore = ListTree(Game());
    Tree setBefore = ListTree(Set());
    JobReport report;
    {
        // Nothing in the set folder can be renamed: the earlier set cannot go back.
        ImmutableScope locked(Set());
        if (!locked.Ok())
            GTEST_SKIP() << "chattr +i is not available here";
        report = Restore();
    }
    EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
    EXPECT_EQ(report.failedAt, JobStage::Recover);
    EXPECT_EQ(ListTree(Game()), gameBefore);
    EXPECT_EQ(ListTree(Set()), setBefore);
}


// A job that would not fit is refused before it changes anything, with both amounts.
TEST_F(JobTest, JobThatDoesNotFitIsRefusedWithTheRoomItNeeds) {
    for (bool restore : {false, true}) {
        SCOPED_TRACE(restore ? "restore" : "backup");
        RemoveTree(dir.Path());
        std::wstring volume = restore ? dir / L"vol" : Set();
        MakeDirs(volume);
        RamDiskScope disk(volume, 256);
        if (!disk.Ok())
            GTEST_SKIP() << "a RAM disk cannot be mounted here (needs root)";
        MakeGameData(restore ? Set() : Game(), "new");
        MakeGameData(restore ? Game() : Set(), "earlier");
        WriteTextFile((restore ? Set() : Game()) + L"\\saves\\big.sav", std::string(400 * 1024, 'b'));
        Tree before = ListTree(restore ? Game() : Set());
        // A refusal found by reading changes nothing, not even a folder's time: not the
        // folders a restore would write in and probe for the rights.
        const std::vector<std::wstring> folders = {volume, Game(), Game() + L"\\saves", Game() + L"\\maps",
                                                   Game() + L"\\scores", Set()};
        const std::vector<std::int64_t> times = WriteTimesOf(folders);
        JobReport report = restore ? Restore() : Backup();
        EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
        EXPECT_EQ(report.failedAt, JobStage::Space);
        EXPECT_GT(report.bytesNeeded, report.space.free);
        EXPECT_GT(report.bytesNeeded, 400u * 1024);
        EXPECT_EQ(ListTree(restore ? Game() : Set()), before);
        EXPECT_EQ(WriteTimesOf(folders), times);
        EXPECT_FALSE(PathExists(SafetyRoot()));
    }
}

// Names that differ only in case, as a Linux program makes them under Wine: Windows finds
// either by the other's name, so no job keeps one of the two in silence; it is refused
// before it changes anything, naming both.
TEST_F(JobTest, NamesThatDifferOnlyInCaseRefuseTheJobNamingBoth) {
    struct Case {
        const char* name;
        bool restore;
        std::wstring folder;  // where the two are made
        const char* make;
        const wchar_t* first;
        const wchar_t* second;
    };
    const Case cases[] = {
        {"two saves in the game", false, Game() + L"\\saves\\slot 1", "echo one > Case.sav && echo two > case.sav",
         L"Case.sav", L"case.sav"},
        {"two folders in the game", false, Game() + L"\\saves",
         "mkdir Slot slot && echo a > Slot/a.sav && echo b > slot/b.sav", L"Slot", L"slot"},
        {"two maps in a set", true, Set() + L"\\maps", "echo one > Fen.map && echo two > FEN.map", L"Fen.map",
         L"FEN.map"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(dir.Path());
        MakeGameData(Game(), "now");
        if (c.restore)
            MakeGameData(Set(), "backed up");
        else
            MakeEarlierSet();
        std::optional<bool> made = LinuxCommandSucceeds(c.folder, c.make);
        if (!made)
            GTEST_SKIP() << "no Linux side to make the names";
        ASSERT_TRUE(*made);
        const Tree game = ListTree(Game()), set = ListTree(Set());
        JobReport report = c.restore ? Restore() : Backup();
        EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
        EXPECT_EQ(report.failedAt, JobStage::Untrusted);
        std::wstring said = DescribeJobProblems(report, c.restore ? JobKind::Restore : JobKind::Backup, Set());
        for (const wchar_t* name : {c.first, c.second})
            EXPECT_NE(said.find(c.folder + L"\\" + name), std::wstring::npos) << Narrow(said);
        EXPECT_EQ(ListTree(Game()), game);
        EXPECT_EQ(ListTree(Set()), set);
    }
    // Beside the set's data, such a pair is the player's business: the backup runs.
    RemoveTree(dir.Path());
    MakeGameData(Game(), "now");
    MakeEarlierSet();
    std::optional<bool> made = LinuxCommandSucceeds(Set(), "echo a > Notes.txt && echo b > notes.txt");
    ASSERT_TRUE(made && *made);
    EXPECT_TRUE(Backup().Whole());
}

// ---- Restore -------------------------------------------------------------------

TEST_F(JobTest, RestoreKeepsWhatItReplacesAndThatSafetySetUndoesItExactly) {
    MakeGameData(Game(), "before");
    WriteTextFile(Game() + L"\\saves\\only in game.sav", "stays");
    MakeGameData(Set(), "backed up");
    WriteTextFile(Set() + L"\\saves\\new in set.sav", "added by the restore");
    MakeDirs(Set() + L"\\maps\\new folder");
    WriteTextFile(Set() + L"\\maps\\new folder\\drawn.map", "a new folder");
    // A game file equal to the set's (same size and time) stays where it is.
    ASSERT_TRUE(CopyFileW((Set() + L"\\scores\\high.scr").c_str(), (Game() + L"\\scores\\high.scr").c_str(), FALSE));
    Tree original = ListTree(Game());

    JobReport report = Restore();
    ASSERT_TRUE(report.Whole());
    std::vector<std::string> expected(6, "yield");
    expected.insert(expected.end(), {"folders", "finished"});
    EXPECT_EQ(events.seen, expected);
    EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\quick.sav"), "quick backed up");
    EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\only in game.sav"), "stays");
    EXPECT_EQ(ReadTextFile(Game() + L"\\maps\\new folder\\drawn.map"), "a new folder");
    EXPECT_EQ(ReadTextFile(Game() + L"\\tarnwick.cfg"), "cfg backed up");
    // The safety set holds what the restore replaced, moved there, and lists what it added.
    ASSERT_FALSE(report.safetyMarker.empty());
    EXPECT_EQ(ListTree(report.safetySet + L"\\saves"), (Tree{{L"quick.sav", "quick before"},
                                                            {L"slot 1\\", ""},
                                                            {L"slot 1\\game.sav", "slot one before"}}));
    EXPECT_FALSE(PathExists(report.safetySet + L"\\scores"));
    EXPECT_EQ(ReadTextFile(report.safetySet + L"\\" + game::AddedListName),
              "saves\\new in set.sav\r\nmaps\\new folder\r\n");
    EXPECT_TRUE(MarkerReadsBack(report.safetyMarker, report.safetySet));
    EXPECT_TRUE(IsSameOrInsideFolder(report.safetySet, SafetyRoot()));
    // Its manifest vouches for what it keeps, to the program and to sha256sum alike.
    SetVerification verified = VerifySet(report.safetySet);
    EXPECT_EQ(verified.verdict, SetVerification::Verdict::Whole);
    EXPECT_EQ(verified.checked, 4u);  // the two saves, the map and the cfg it replaced
    std::optional<bool> checked =
        LinuxCommandSucceeds(report.safetySet, "sha256sum -c --quiet --strict 'Tarnwick set contents.sha256'");
    if (checked) {
        EXPECT_TRUE(*checked) << "sha256sum -c refuses the safety set's manifest";
    }

    // A safety set damaged since is refused like any set, the game's data left as it is.
    const std::wstring kept = report.safetySet + L"\\saves\\quick.sav";
    const std::string keptText = ReadTextFile(kept);
    WriteTextFile(kept, "quick, damaged");
    const Tree restored = ListTree(Game());
    JobReport refused = Restore(report.safetySet);
    EXPECT_EQ(refused.failedAt, JobStage::Damaged);
    EXPECT_EQ(ListTree(Game()), restored);
    WriteTextFile(kept, keptText);

    // Restoring the safety set gives the game folder back exactly: what was replaced comes
    // back, what was added goes.
    JobReport undo = Restore(report.safetySet);
    ASSERT_TRUE(undo.Whole());
    EXPECT_EQ(ListTree(Game()), original);
}

// A set from outside may hold files its manifest does not vouch for: a restore brings back
// only what the manifest lists, leaves the game's own file of such a name as it is, and
// names what it left out.
TEST_F(JobTest, RestoreBringsBackOnlyWhatTheManifestVouchesFor) {
    MakeGameData(Game(), "backed up");
    MakeDirs(Set());
    ASSERT_TRUE(Backup().Whole());
    WriteTextFile(Set() + L"\\saves\\only in game.sav", "slipped in");
    WriteTextFile(Set() + L"\\saves\\slot 1\\extra.sav", "slipped in");
    MakeGameData(Game(), "before");
    WriteTextFile(Game() + L"\\saves\\only in game.sav", "stays");
    ShiftWriteTimes(Game(), 60);

    JobReport report = Restore();
    ASSERT_TRUE(report.Whole());
    EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\quick.sav"), "quick backed up");
    EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\only in game.sav"), "stays");
    EXPECT_FALSE(PathExists(Game() + L"\\saves\\slot 1\\extra.sav"));
    std::sort(report.leftOut.begin(), report.leftOut.end());
    EXPECT_EQ(report.leftOut, (std::vector<std::wstring>{Set() + L"\\saves\\only in game.sav",
                                                         Set() + L"\\saves\\slot 1\\extra.sav"}));
    EXPECT_EQ(DescribeRestoreNotes(report).find(L"Not restored"), 0u);
}

TEST_F(JobTest, RestoreIntoAMissingGameFolderMakesItFirst) {
    MakeGameData(Set(), "backed up");
    JobReport report = Restore();
    ASSERT_TRUE(report.Whole());
    EXPECT_EQ(ListTree(Game()), ListTree(Set()));
    // Nothing was replaced; the safety set lists what was added, for an undo.
    ASSERT_FALSE(report.safetySet.empty());
    EXPECT_EQ(ListTree(report.safetySet).size(), 3u);  // its marker, its list and an empty manifest, no data
    EXPECT_EQ(ReadTextFile(report.safetySet + L"\\" + game::AddedListName),
              "saves\r\nmaps\r\nscores\r\ntarnwick.cfg\r\n");
}

TEST_F(JobTest, FailedRestoreLeavesTheGameFolderExactlyAsItWas) {
    struct Fault {
        const char* name;
        std::function<std::shared_ptr<void>(JobTest&)> make;
        JobStage stage;
    };
    const Fault faults[] = {
        {"a set file that cannot be read",
         [](JobTest& t) { return std::make_shared<FileHandle>(HoldOpen(t.Set() + L"\\maps\\fen.map")); },
         JobStage::Folders},
        {"a game file held open (the game runs)",
         [](JobTest& t) { return std::make_shared<FileHandle>(HoldOpen(t.Game() + L"\\tarnwick.cfg")); },
         JobStage::Swap},
        // In a folder the restore may write: met only in the swap.
        {"a game file the kernel refuses to change (chattr +i)",
         [](JobTest& t) -> std::shared_ptr<void> {
             auto scope = std::make_shared<ImmutableScope>(t.Game() + L"\\tarnwick.cfg");
             return scope->Ok() ? scope : nullptr;
         },
         JobStage::Swap},
        {"a damaged set file (the same size, other bytes)",
         [](JobTest& t) -> std::shared_ptr<void> {
             WriteTextFile(t.Set() + L"\\maps\\fen.map", "fen backed uQ");
             return std::make_shared<int>(0);
         },
         JobStage::Damaged},
        {"a set file its manifest lists, gone",
         [](JobTest& t) -> std::shared_ptr<void> {
             DeleteFileW((t.Set() + L"\\scores\\high.scr").c_str());
             return std::make_shared<int>(0);
         },
         JobStage::Damaged},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        RemoveTree(dir.Path());
        MakeGameData(Game(), "before");
        MakeGameData(Set(), "backed up");
        // A set with its manifest, as a backup leaves it.
        MakeDirs(dir / L"made");
        ASSERT_TRUE(BackupJob(Set(), dir / L"made", L"", Journal()).Run(events).Whole());
        RemoveTree(Set());
        ASSERT_TRUE(MoveFileW((dir / L"made").c_str(), Set().c_str()));
        Tree before = ListTree(Game());
        JobReport report;
        {
            auto held = fault.make(*this);
            if (!held)
                continue;  // chattr +i is not available here
            report = Restore();
        }
        EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
        EXPECT_EQ(report.failedAt, fault.stage);
        EXPECT_EQ(ListTree(Game()), before);
        EXPECT_FALSE(PathExists(SafetyRoot()));
        EXPECT_TRUE(report.safetyMarker.empty());
    }
}

// A folder the restore writes in that this user may not write (chattr +i stands in for
// the rights): refused before anything is changed, naming the folder.
TEST_F(JobTest, RestoreThisUserMayNotWriteIsRefusedBeforeAnyChange) {
    const std::wstring folders[] = {Game(), Game() + L"\\saves", dir / L"vol"};
    for (const std::wstring& folder : folders) {
        SCOPED_TRACE(Narrow(folder));
        RemoveTree(dir.Path());
        MakeGameData(Game(), "before");
        MakeGameData(Set(), "backed up");
        Tree before = ListTree(dir / L"vol");
        JobReport report;
        {
            ImmutableScope frozen(folder);
            if (!frozen.Ok())
                GTEST_SKIP() << "chattr +i is not available here";
            report = Restore();
        }
        EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
        EXPECT_EQ(report.failedAt, JobStage::Rights);
        EXPECT_EQ(ShownPath(report.failure.item), folder);
        EXPECT_EQ(ListTree(dir / L"vol"), before);
        EXPECT_FALSE(PathExists(Journal()));
    }
}

TEST_F(JobTest, SetInsideTheGameDataIsNotRestored) {
    MakeGameData(Game(), "before");
    std::wstring inside = Game() + L"\\saves\\old set";
    MakeGameData(inside, "backed up");
    Tree before = ListTree(Game());
    JobReport report = Restore(inside);
    EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
    EXPECT_EQ(report.failedAt, JobStage::SetInsideGame);
    EXPECT_EQ(ListTree(Game()), before);
}

TEST_F(JobTest, RestoreStoppedByTheUserIsUndone) {
    MakeGameData(Game(), "before");
    MakeGameData(Set(), "backed up");
    Tree before = ListTree(Game());
    events.stopAt = "yield";
    EXPECT_THROW(Restore(), StopJob);
    EXPECT_EQ(ListTree(Game()), before);
}


// A staged copy that goes before it is swapped in (an antivirus, a player tidying up the
// odd folder) fails the job, which is undone: never is a set or a game folder called whole
// without it.
TEST_F(JobTest, StagedCopyGoneBeforeTheSwapUndoesTheJob) {
    struct Case {
        const char* name;
        bool restore;
        const char* stage;    // where it goes: all staged, or the list written
        const wchar_t* file;  // below the staging folder
    };
    const Case cases[] = {
        {"a save inside a backup's staged folder", false, "staged", L"saves\\slot 1\\game.sav"},
        {"a backup's staged save, the list written", false, "committing", L"saves\\quick.sav"},
        {"a restore's staged save", true, "staged", L"saves\\quick.sav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(dir.Path());
        MakeGameData(Game(), c.restore ? "before" : "now");
        if (c.restore) {
            WriteTextFile(Game() + L"\\saves\\only in game.sav", "stays");
            MakeGameData(Set(), "backed up");
        } else {
            MakeEarlierSet();
        }
        const std::wstring changed = c.restore ? Game() : Set();
        const Tree before = ListTree(changed);
        const std::wstring staging =
            c.restore ? RestoreLayers(Game(), L"", L"").front().staging
                      : BackupLayer(Set(), std::string(c.stage) == "staged" ? StagingState::Copying
                                                                            : StagingState::Swapping)
                            .staging;
        bool gone = false;
        SetStageHook([&](const char* stage) {
            if (std::string(stage) == c.stage && !gone)
                gone = DeleteFileW((staging + L"\\" + c.file).c_str()) != FALSE;
        });
        JobReport report = c.restore ? Restore() : Backup();
        SetStageHook({});
        EXPECT_TRUE(gone);
        EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
        EXPECT_EQ(report.failedAt, JobStage::Swap);
        EXPECT_EQ(ListTree(changed), before);
    }
}

TEST_F(JobTest, RestoreKeepsTheNewestFiveSafetySetsAndTheOneItCameFrom) {
    MakeGameData(Game(), "before");
    const wchar_t* old[] = {L"2020.01.01 10.00.00", L"2020.01.02 10.00.00", L"2020.01.03 10.00.00",
                            L"2020.01.04 10.00.00", L"2020.01.05 10.00.00", L"2020.01.06 10.00.00"};
    for (const wchar_t* name : old)
        MakeGameData(SafetyRoot() + L"\\" + name, "old");
    MakeDirs(SafetyRoot() + L"\\not a safety set");
    // The restore comes from the oldest safety set.
    JobReport report = Restore(SafetyRoot() + L"\\" + old[0]);
    ASSERT_TRUE(report.Whole());
    // The new one and the four newest before it stay, and the one restored from.
    for (const wchar_t* name : {old[0], old[2], old[3], old[4], old[5]})
        EXPECT_TRUE(PathExists(SafetyRoot() + L"\\" + name)) << Narrow(name);
    EXPECT_FALSE(PathExists(SafetyRoot() + L"\\" + old[1]));
    EXPECT_TRUE(PathExists(report.safetySet));
    EXPECT_TRUE(PathExists(SafetyRoot() + L"\\not a safety set"));
}

// ---- Windows' per-user copy of the game folder -----------------------------------

// What the game reads: the per-user copy's files before the game folder's.
Tree GameView(const std::wstring& game, const std::wstring& perUser) {
    std::map<std::wstring, std::string> files;
    for (const std::wstring& root : {game, perUser}) {
        for (const auto& [path, content] : ListTree(root)) {
            if (path.back() != L'\\')
                files[path] = content;
        }
    }
    return Tree(files.begin(), files.end());
}

TEST_F(JobTest, BackupTakesWhatTheGameReadsFromThePerUserCopy) {
    MakeGameData(Game(), "game folder");
    std::wstring perUser = dir / L"VirtualStore\\Tarnwick";
    MakeDirs(perUser + L"\\saves");
    WriteTextFile(perUser + L"\\saves\\quick.sav", "quick per-user");
    WriteTextFile(perUser + L"\\saves\\only per-user.sav", "new in per-user");
    WriteTextFile(perUser + L"\\tarnwick.cfg", "cfg per-user");
    MakeDirs(Set());
    JobReport report = BackupJob(Game(), Set(), perUser, Journal()).Run(events);
    ASSERT_TRUE(report.Whole());
    EXPECT_EQ(report.perUserCopy, perUser);
    Tree expected = GameView(Game(), perUser);
    Tree actual;
    for (const auto& [path, content] : ListTree(Set())) {
        if (path.back() != L'\\' && path.rfind(L"Tarnwick", 0) != 0)
            actual.emplace_back(path, content);
    }
    EXPECT_EQ(actual, expected);
}

TEST_F(JobTest, RestoreWritesWhereTheGameReadsAndItsSafetySetUndoesIt) {
    MakeGameData(Game(), "before");
    std::wstring perUser = dir / L"VirtualStore\\Tarnwick";
    MakeDirs(perUser + L"\\maps");
    MakeDirs(perUser + L"\\saves");
    WriteTextFile(perUser + L"\\saves\\quick.sav", "quick per-user before");
    WriteTextFile(perUser + L"\\tarnwick.cfg", "cfg per-user before");
    MakeGameData(Set(), "backed up");
    WriteTextFile(Set() + L"\\saves\\new top.sav", "new at the top of saves");
    Tree viewBefore = GameView(Game(), perUser);

    JobReport report = RestoreJob(Game(), Set(), perUser, Journal()).Run(events);
    ASSERT_TRUE(report.Whole());
    // Where the per-user copy held the file or its folder, the file went there.
    EXPECT_EQ(ReadTextFile(perUser + L"\\saves\\quick.sav"), "quick backed up");
    EXPECT_EQ(ReadTextFile(perUser + L"\\saves\\new top.sav"), "new at the top of saves");
    EXPECT_EQ(ReadTextFile(perUser + L"\\maps\\fen.map"), "fen backed up");
    EXPECT_EQ(ReadTextFile(perUser + L"\\tarnwick.cfg"), "cfg backed up");
    // Elsewhere into the game folder.
    EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\slot 1\\game.sav"), "slot one backed up");
    EXPECT_EQ(ReadTextFile(Game() + L"\\scores\\high.scr"), "scores backed up");
    EXPECT_FALSE(PathExists(Game() + L"\\maps\\fen.map") &&
                 ReadTextFile(Game() + L"\\maps\\fen.map") == "fen backed up");
    // The safety set keeps what the game saw, and gives it back.
    JobReport undo = RestoreJob(Game(), report.safetySet, perUser, Journal()).Run(events);
    ASSERT_TRUE(undo.Whole());
    Tree viewAfterUndo = GameView(Game(), perUser);
    for (const auto& [path, content] : viewBefore) {
        auto found = std::find_if(viewAfterUndo.begin(), viewAfterUndo.end(),
                                  [&](const auto& entry) { return entry.first == path; });
        ASSERT_NE(found, viewAfterUndo.end()) << Narrow(path);
        EXPECT_EQ(found->second, content) << Narrow(path);
    }
}

TEST_F(JobTest, FailedRestoreLeavesThePerUserCopyAsItWas) {
    MakeGameData(Game(), "before");
    std::wstring perUser = dir / L"VirtualStore\\Tarnwick";
    MakeGameData(perUser, "per-user before");
    MakeGameData(Set(), "backed up");
    Tree gameBefore = ListTree(Game());
    Tree perUserBefore = ListTree(perUser);
    JobReport report;
    {
        FileHandle held = HoldOpen(Set() + L"\\scores\\high.scr");
        report = RestoreJob(Game(), Set(), perUser, Journal()).Run(events);
    }
    EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
    EXPECT_EQ(ListTree(Game()), gameBefore);
    EXPECT_EQ(ListTree(perUser), perUserBefore);
}

// ---- Paths over 260 characters ---------------------------------------------------

TEST_F(JobTest, SaveDeeperThanTheOldPathLimitIsBackedUpAndRestored) {
    MakeGameData(Game(), "now");
    std::wstring deep = Game() + L"\\saves";
    for (int i = 0; i < 6; ++i)
        deep += L"\\a rather long folder name for campaign saves " + std::to_wstring(i);
    ASSERT_TRUE(MakeFolderPath(deep).Ok());
    std::wstring save = deep + L"\\the deepest.sav";
    ASSERT_GT(save.size(), 300u);
    {
        FileHandle file(CreateFileW(LongPath(save).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        ASSERT_TRUE(file);
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(file.Get(), "deep", 4, &written, nullptr));
    }
    MakeDirs(Set());
    ASSERT_TRUE(Backup().Whole());
    std::wstring inSet = Set() + save.substr(Game().size());
    EXPECT_NE(GetFileAttributesW(LongPath(inSet).c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(DeleteTree(Game() + L"\\saves").Ok());
    ASSERT_TRUE(Restore().Whole());
    EXPECT_NE(GetFileAttributesW(LongPath(save).c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(DeleteTree(dir.Path()).Ok());  // the fixture's own removal stops at the old limit
}

}  // namespace
