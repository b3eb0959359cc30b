// Jobs killed with TerminateProcess at each of their stages, in a process of their own
// (job_child.exe), and what the next start makes of the journal they left: the job
// whole, or the earlier data exactly as it was, never a mix.

#include <windows.h>

#include <string>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/journal/JobRecovery.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SetVerify.h"
#include "engine/staging/BackupStaging.h"
#include "engine/staging/RestoreStaging.h"
#include "files/DirSearch.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"

namespace {

// The name of the one folder in root.
std::wstring OnlySubfolder(const std::wstring& root) {
    std::vector<DirEntry> entries = DirSearch::Everything(root);
    EXPECT_EQ(entries.size(), 1u);
    return entries.empty() ? std::wstring() : entries.front().name;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring ChildProgram() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path = self;
    return path.substr(0, path.find_last_of(L'\\')) + L"\\job_child.exe";
}

// A job running in job_child.exe, held still once it reached the stage.
class ChildJob {
public:
    ChildJob(const std::wstring& kind, const std::wstring& game, const std::wstring& set, const std::wstring& journal,
             const std::string& stage, int nth) {
        static int counter = 0;
        std::wstring event = L"bkTrnwck test stage " + std::to_wstring(GetCurrentProcessId()) + L" " +
                             std::to_wstring(++counter);
        reached_.Reset(CreateEventW(nullptr, TRUE, FALSE, event.c_str()));
        std::wstring command = Quoted(ChildProgram()) + L" " + kind + L" " + Quoted(game) + L" " + Quoted(set) + L" " +
                               Quoted(journal) + L" " + Quoted(Widen(stage)) + L" " + std::to_wstring(nth) + L" " +
                               Quoted(event);
        // Without a console: with CREATE_NO_WINDOW Wine gives the console program a hidden
        // console of its own, starting a conhost.exe from inside the child's start-up for every
        // child, one more process start that can fail on a busy machine. The child writes
        // nothing to a console.
        PROCESS_INFORMATION info = StartHelperProgram(command, DETACHED_PROCESS);
        process_.Reset(info.hProcess);
        CloseHandle(info.hThread);
    }
    ~ChildJob() { Kill(); }
    ChildJob(const ChildJob&) = delete;
    ChildJob& operator=(const ChildJob&) = delete;

    // True once the job stands still at its stage; false when it ended before.
    bool Reached() {
        HANDLE both[] = {reached_.Get(), process_.Get()};
        return WaitForMultipleObjects(2, both, FALSE, 60000) == WAIT_OBJECT_0;
    }

    void Kill() {
        if (!process_)
            return;
        TerminateProcess(process_.Get(), 1);
        WaitForSingleObject(process_.Get(), 30000);
        process_.Reset();
    }

private:
    KernelHandle reached_;
    KernelHandle process_;
};

class JobKillTest : public testing::Test {
public:
    std::wstring Game() const { return dir / L"vol\\Tarnwick"; }
    std::wstring Set() const { return dir / L"set"; }
    std::wstring Journal() const { return dir / L"journal\\job journal.txt"; }
    std::wstring SafetyRoot() const { return dir / L"vol\\Tarnwick safety sets"; }

    void MakeBackupScene(bool earlierSet) {
        MakeGameData(Game(), "now");
        MakeDirs(Set());
        WriteTextFile(Set() + L"\\notes.txt", "the player's own file");
        if (!earlierSet)
            return;
        // An earlier set without scores, from another day: what the new copy adds and
        // today's marker must go again when the backup is undone.
        MakeGameData(Set(), "earlier");
        RemoveTree(Set() + L"\\scores");
        WriteTextFile(Set() + L"\\saves\\only earlier.sav", "kept by merging");
        const SYSTEMTIME earlierDay = {2024, 3, 0, 9, 12, 0, 0, 0};
        WriteMarkerVersion(MarkerPath(Set(), earlierDay));
        WriteMarkerLocation(MarkerPath(Set(), earlierDay), Set());
    }

    void MakeRestoreScene() {
        // A game without maps: the maps a restore brings must go again when it is undone.
        MakeGameData(Game(), "before");
        RemoveTree(Game() + L"\\maps");
        WriteTextFile(Game() + L"\\saves\\only in game.sav", "stays");
        MakeGameData(Set(), "backed up");
    }

    ScratchDir dir;
};

struct KillCase {
    const char* job;    // "backup", "backup into an empty folder" or "restore"
    const char* stage;  // where the child is killed (StageHook names)
    int nth;
    // A file held open (in the set for a backup, in the game folder for a restore): the
    // swap fails on it and is taken back, and the child is killed while it is.
    const wchar_t* holdOpen;
    bool finished;  // the job stood whole, or was past the point of finishing
    // After the kill: the staging folder's entries removed but its swap list, as a removal
    // cut short leaves them where the file system removes by name (NTFS).
    bool cutRemoval = false;
};

const KillCase kKillCases[] = {
    {"backup", "journal written", 1, nullptr, false},
    {"backup", "file copied", 3, nullptr, false},
    {"backup", "committing", 1, nullptr, true},
    {"backup", "entry swapped", 2, nullptr, true},
    {"backup", "staging set aside", 1, nullptr, true},
    {"backup", "entry swapped back", 5, L"tarnwick.cfg", false},
    {"backup", "swap undone", 1, L"tarnwick.cfg", false, true},
    {"backup", "staging set aside", 1, L"tarnwick.cfg", false},
    {"backup into an empty folder", "file copied", 2, nullptr, false},
    {"restore", "file copied", 3, nullptr, false},
    {"restore", "committing", 1, nullptr, true},
    {"restore", "entry swapped", 2, nullptr, true},
    {"restore", "staging set aside", 1, nullptr, true},
    {"restore", "entry swapped back", 3, L"tarnwick.cfg", false},
    {"restore", "swap undone", 1, L"tarnwick.cfg", false, true},
    {"restore", "staging set aside", 1, L"tarnwick.cfg", false},
};

// Removes every entry of the staging folder that holds a swap list, but the list.
void CutRemovalShort(const std::vector<std::wstring>& stagingFolders) {
    for (const std::wstring& staging : stagingFolders) {
        if (!PathExists(staging + L"\\Tarnwick swap list.txt"))
            continue;
        for (const DirEntry& entry : DirSearch::Everything(staging)) {
            if (entry.name != L"Tarnwick swap list.txt")
                RemoveTree(staging + L"\\" + entry.name);
        }
        return;
    }
    ADD_FAILURE() << "no staging folder with a swap list";
}

TEST_F(JobKillTest, NextStartLeavesTheJobWholeOrTheEarlierDataAsItWas) {
    for (const KillCase& c : kKillCases) {
        SCOPED_TRACE(std::string(c.job) + ", killed at " + c.stage + " #" + std::to_string(c.nth) +
                     (c.cutRemoval ? ", its removal cut short" : ""));
        RemoveTree(dir.Path());
        const std::string job = c.job;
        const bool restore = job == "restore";
        if (restore)
            MakeRestoreScene();
        else
            MakeBackupScene(job == "backup");
        const std::wstring changed = restore ? Game() : Set();
        const Tree before = ListTree(changed);
        {
            FileHandle inUse = c.holdOpen ? HoldOpen(changed + L"\\" + c.holdOpen) : FileHandle();
            ChildJob child(restore ? L"restore" : L"backup", Game(), Set(), Journal(), c.stage, c.nth);
            ASSERT_TRUE(child.Reached()) << "the job ended before the stage";
            child.Kill();
        }
        ASSERT_TRUE(PathExists(Journal()));
        if (c.cutRemoval)
            CutRemovalShort({BackupLayer(Set(), StagingState::TakingBack).staging,
                             RestoreLayers(Game(), L"", L"").front().staging});

        Recovery recovery = RecoverInterruptedJob(Journal(), {Game()});
        EXPECT_EQ(recovery.found, Recovery::Found::Job);
        EXPECT_TRUE(recovery.Ok()) << Narrow(recovery.failure.path) << " " << recovery.failure.error;
        EXPECT_EQ(recovery.finished, c.finished);
        EXPECT_FALSE(PathExists(Journal()));
        EXPECT_FALSE(HoldsStagedBackup(Set()));
        for (const SwapLayer& layer : RestoreLayers(Game(), L"", L""))
            EXPECT_FALSE(PathExists(layer.staging));
        if (!c.finished) {
            EXPECT_EQ(ListTree(changed), before);
            if (restore) {
                EXPECT_FALSE(PathExists(SafetyRoot()));
            }
        } else if (restore) {
            EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\quick.sav"), "quick backed up");
            EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\only in game.sav"), "stays");
            std::wstring safetySet = SafetyRoot() + L"\\" + OnlySubfolder(SafetyRoot());
            EXPECT_EQ(ReadTextFile(safetySet + L"\\saves\\quick.sav"), "quick before");
            EXPECT_TRUE(MarkerReadsBack(MarkerPathToday(safetySet), safetySet));
            EXPECT_EQ(VerifySet(safetySet).verdict, SetVerification::Verdict::Whole);
        } else {
            EXPECT_EQ(ListTree(Set() + L"\\maps"), ListTree(Game() + L"\\maps"));
            EXPECT_EQ(ReadTextFile(Set() + L"\\saves\\only earlier.sav"), "kept by merging");
            EXPECT_TRUE(MarkerReadsBack(MarkerPathToday(Set()), Set()));
        }
    }
}

// A backup killed while two large maps are copied at once, one a core: the next start
// leaves the earlier set as it was.
TEST_F(JobKillTest, AKillWhileLargeFilesAreCopiedAtOnceIsPutRight) {
    MakeBackupScene(true);
    WriteTextFile(Game() + L"\\maps\\world 1.map", std::string(20u << 20, '1'));
    WriteTextFile(Game() + L"\\maps\\world 2.map", std::string(20u << 20, '2'));
    const Tree before = ListTree(Set());
    {
        ChildJob child(L"backup", Game(), Set(), Journal(), "piece copied", 30);
        ASSERT_TRUE(child.Reached()) << "the job ended before the stage";
        child.Kill();
    }
    Recovery recovery = RecoverInterruptedJob(Journal(), {Game()});
    EXPECT_TRUE(recovery.Ok()) << Narrow(recovery.failure.path) << " " << recovery.failure.error;
    EXPECT_FALSE(recovery.finished);
    EXPECT_FALSE(HoldsStagedBackup(Set()));
    EXPECT_EQ(ListTree(Set()), before);
}

// A dated backup killed while it copies: the next start removes the folder the job made for
// the set, and nothing else.
TEST_F(JobKillTest, AKilledDatedBackupLeavesNoFolderBehind) {
    MakeGameData(Game(), "now");
    const std::wstring dated = dir / L"sets\\2026.12.08 21.00.00";
    MakeDirs(dated);
    WriteTextFile(dir / L"sets\\notes.txt", "the player's");
    {
        ChildJob child(L"\"dated backup\"", Game(), dated, Journal(), "file copied", 2);
        ASSERT_TRUE(child.Reached());
        child.Kill();
    }
    Recovery recovery = RecoverInterruptedJob(Journal(), {Game()});
    EXPECT_TRUE(recovery.Ok());
    EXPECT_TRUE(recovery.emptyFolder);
    EXPECT_FALSE(PathExists(dated));
    EXPECT_EQ(ListTree(dir / L"sets"), (Tree{{L"notes.txt", "the player's"}}));
}

// A killed restore into a game folder this user may not write (chattr +i stands in for the
// rights): a start without them touches nothing and keeps the journal; one with them puts
// the game's data back.
TEST_F(JobKillTest, AKilledRestoreWaitsForACopyWithTheRights) {
    MakeRestoreScene();
    {
        ChildJob child(L"restore", Game(), Set(), Journal(), "entry swapped", 2);
        ASSERT_TRUE(child.Reached());
        child.Kill();
    }
    const Tree killed = ListTree(dir / L"vol");
    {
        ImmutableScope frozen(Game());
        if (!frozen.Ok())
            GTEST_SKIP() << "chattr +i is not available here";
        Recovery recovery = RecoverInterruptedJob(Journal(), {Game()});
        EXPECT_TRUE(recovery.needsRights);
        EXPECT_EQ(recovery.failure.error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(recovery.failure.path, Game());
    }
    EXPECT_EQ(ListTree(dir / L"vol"), killed);
    ASSERT_TRUE(PathExists(Journal()));
    EXPECT_TRUE(RecoverInterruptedJob(Journal(), {Game()}).Ok());
    // Killed in its swap, past the point of finishing: the restore is finished.
    EXPECT_EQ(ReadTextFile(Game() + L"\\saves\\quick.sav"), "quick backed up");
}

TEST_F(JobKillTest, AJobRunningInAnotherProgramIsNeitherJoinedNorTakenForInterrupted) {
    MakeBackupScene(true);
    ChildJob child(L"backup", Game(), Set(), Journal(), "file copied", 1);
    ASSERT_TRUE(child.Reached());
    EXPECT_EQ(RecoverInterruptedJob(Journal(), {Game()}).found, Recovery::Found::Busy);
    EXPECT_TRUE(PathExists(Journal()));
    QuietJobEvents quiet;
    Tree gameBefore = ListTree(Game());
    JobReport refused = RestoreJob(Game(), Set(), L"", Journal()).Run(quiet);
    EXPECT_EQ(refused.outcome, JobOutcome::NotStarted);
    EXPECT_EQ(refused.failedAt, JobStage::Busy);
    EXPECT_EQ(ListTree(Game()), gameBefore);
    child.Kill();
    EXPECT_TRUE(RecoverInterruptedJob(Journal(), {Game()}).Ok());
}

TEST_F(JobKillTest, AJournalThatCannotBeActedOnNowIsKeptForLater) {
    struct Case {
        const char* name;
        std::string content;
        Recovery::Found found;
        bool journalStays;
        std::wstring keptAt;
    };
    const Case cases[] = {
        {"not a journal", "garbage\r\n", Recovery::Found::Unreadable, false, Journal() + L" (unreadable)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeDirs(dir / L"journal");
        WriteTextFile(Journal(), c.content);
        Recovery recovery = RecoverInterruptedJob(Journal(), {L"C:\\game"});
        EXPECT_EQ(recovery.found, c.found);
        EXPECT_EQ(PathExists(Journal()), c.journalStays);
        EXPECT_EQ(recovery.keptAt, c.keptAt);
        RemoveTree(dir / L"journal");
    }
}

// A backup into a stick is killed and the stick taken out: the next start says that job
// waits for its folder, and a backup elsewhere runs; once the stick is back, the next
// start puts that set right as it was.
TEST_F(JobKillTest, AJobWhoseDriveIsGoneWaitsForItAndJobsElsewhereRun) {
    MakeDirs(dir / L"stick\\set");
    RemovableDrive stick(L'Q', dir / L"stick");
    if (!stick.Ok())
        GTEST_SKIP() << "no drive letter can be made here";
    const std::wstring stickSet = L"Q:\\set";
    MakeGameData(Game(), "now");
    MakeGameData(stickSet, "earlier");
    WriteMarkerVersion(MarkerPathToday(stickSet));
    WriteMarkerLocation(MarkerPathToday(stickSet), stickSet);
    const Tree before = ListTree(dir / L"stick");
    {
        ChildJob child(L"backup", Game(), stickSet, Journal(), "file copied", 2);
        ASSERT_TRUE(child.Reached());
        child.Kill();
    }
    stick.TakeOut();

    Recovery waits = RecoverInterruptedJob(Journal(), {Game()});
    EXPECT_TRUE(waits.Ok());
    EXPECT_FALSE(waits.DidSomething());
    ASSERT_EQ(waits.waiting.size(), 1u);
    EXPECT_EQ(waits.waiting[0].setFolder, stickSet);
    EXPECT_NE(DescribeRecovery(waits).find(stickSet), std::wstring::npos);

    MakeDirs(Set());
    QuietJobEvents quiet;
    JobReport elsewhere = BackupJob(Game(), Set(), L"", Journal()).Run(quiet);
    EXPECT_TRUE(elsewhere.Whole());
    EXPECT_EQ(elsewhere.recovery.waiting.size(), 1u);

    stick.PutBack();
    Recovery back = RecoverInterruptedJob(Journal(), {Game()});
    EXPECT_EQ(back.found, Recovery::Found::Job);
    EXPECT_TRUE(back.Ok()) << Narrow(back.failure.path) << " " << back.failure.error;
    EXPECT_TRUE(back.waiting.empty());
    EXPECT_EQ(ListTree(dir / L"stick"), before);
    EXPECT_TRUE(DirSearch::Everything(dir / L"journal").empty());
}

}  // namespace
