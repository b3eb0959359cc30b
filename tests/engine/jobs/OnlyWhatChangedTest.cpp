// Jobs that cost what changed: the quick check of size and time at its edges, the set's
// manifest as a player checks it with sha256sum, and a restore over equal data.

#include <windows.h>

#include <functional>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/SetManifest.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"

namespace {

// The job's caller: how many files the last copy planned.
class CountingEvents final : public JobEvents {
public:
    void Checkpoint() override {}
    void YieldPoint() override {}
    void Progress(const JobProgress& progress) override {
        if (progress.activity == JobActivity::Copying)
            filesToCopy = progress.filesTotal;
    }
    void FoldersCopied(const JobReport&) override {}
    void Finished(const JobReport&) override {}
    std::uint64_t filesToCopy = 0;
};

class OnlyWhatChanged : public testing::Test {
public:
    std::wstring Game() const { return dir / L"game"; }
    std::wstring Set() const { return dir / L"set"; }
    std::wstring Journal() const { return dir / L"journal\\job journal.txt"; }

    JobReport Backup() {
        events = CountingEvents();
        return BackupJob(Game(), Set(), L"", Journal()).Run(events);
    }

    // The set holds the game data as it stands, and its manifest says so to sha256sum.
    void ExpectSetEqualsGameAndChecksOut() {
        for (const wchar_t* name : {L"saves", L"maps", L"scores"})
            EXPECT_EQ(ListTree(Set() + L"\\" + name), ListTree(Game() + L"\\" + name)) << Narrow(name);
        std::optional<bool> checked =
            LinuxCommandSucceeds(Set(), "sha256sum -c --quiet --strict 'Tarnwick set contents.sha256'");
        if (checked) {
            EXPECT_TRUE(*checked) << "sha256sum -c refuses the manifest";
        }
    }

    ScratchDir dir;
    CountingEvents events;
};

TEST_F(OnlyWhatChanged, SecondBackupCopiesOnlyTheChangedFileAndItsManifestChecksOut) {
    MakeGameData(Game(), "first");
    WriteTextFile(Game() + L"\\saves\\slot \u00e9\u4e2d.sav", "a name in two scripts");
    MakeDirs(Set());
    ASSERT_TRUE(Backup().Whole());
    EXPECT_EQ(events.filesToCopy, 6u);
    ExpectSetEqualsGameAndChecksOut();

    WriteTextFile(Game() + L"\\maps\\fen.map", "fen, drawn again");
    ASSERT_TRUE(Backup().Whole());
    EXPECT_EQ(events.filesToCopy, 1u);
    ExpectSetEqualsGameAndChecksOut();
}

// After a first backup the game data changes in one way; the second backup copies what
// the quick check finds changed, and the set ends as the game data stands.
TEST_F(OnlyWhatChanged, QuickCheckEdges) {
    struct Edge {
        const char* name;
        std::function<void(const std::wstring& game)> change;
        std::uint64_t copied;
    };
    const Edge edges[] = {
        {"a time 1 s later, on a disk that keeps times to the 100 ns (not FAT)",
         [](const std::wstring& g) { ShiftWriteTimes(g + L"\\saves\\quick.sav", 1); }, 1},
        {"the same size, other bytes, a day later",
         [](const std::wstring& g) {
             WriteTextFile(g + L"\\saves\\quick.sav", "quick FIRST");
             ShiftWriteTimes(g + L"\\saves\\quick.sav", 86400);
         },
         1},
        {"a folder where the set has a file",
         [](const std::wstring& g) {
             DeleteFileW((g + L"\\saves\\quick.sav").c_str());
             MakeDirs(g + L"\\saves\\quick.sav");
             WriteTextFile(g + L"\\saves\\quick.sav\\inside.sav", "now a folder");
         },
         1},
        {"a file where the set has a folder",
         [](const std::wstring& g) {
             RemoveTree(g + L"\\saves\\slot 1");
             WriteTextFile(g + L"\\saves\\slot 1", "now a file");
         },
         1},
    };
    for (const Edge& edge : edges) {
        SCOPED_TRACE(edge.name);
        RemoveTree(dir.Path());
        MakeGameData(Game(), "first");
        MakeDirs(Set());
        ASSERT_TRUE(Backup().Whole());
        edge.change(Game());
        Tree setBefore = ListTree(Set() + L"\\saves");
        ASSERT_TRUE(Backup().Whole());
        EXPECT_EQ(events.filesToCopy, edge.copied);
        if (edge.copied == 0)
            EXPECT_EQ(ListTree(Set() + L"\\saves"), setBefore);
        else
            ExpectSetEqualsGameAndChecksOut();
    }
}

TEST_F(OnlyWhatChanged, RestoreOverEqualDataCopiesNothingAndKeepsNoSafetySet) {
    MakeGameData(Game(), "played");
    MakeDirs(Set());
    ASSERT_TRUE(Backup().Whole());
    Tree before = ListTree(Game());
    JobReport report = RestoreJob(Game(), Set(), L"", Journal()).Run(events);
    ASSERT_TRUE(report.Whole());
    EXPECT_EQ(events.filesToCopy, 0u);
    EXPECT_TRUE(report.safetySet.empty());
    EXPECT_EQ(ListTree(Game()), before);
}

}  // namespace
