// The game writes its data while a job reads it: a file rewritten between two pieces of
// its copy (through the stage hook, not a race) is copied again, and a file that keeps
// changing fails the job, which is undone; never is a torn copy called whole.

#include <windows.h>

#include <string>

#include "GameData.h"
#include "TestSupport.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SetVerify.h"
#include "runtime/Handles.h"
#include "runtime/StageHook.h"
#include "runtime/TextConv.h"

namespace {

constexpr std::size_t kBigSize = 3 * (1 << 18) + 5;  // four pieces of the copy

// Rewrites the whole file in place with one byte, as a game saves over its map.
void RewriteInPlace(const std::wstring& path, char fill) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(kBigSize, fill);
    DWORD put = 0;
    ASSERT_TRUE(file && WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
}

// Rewrites path at every piece copied while alive, alternating two versions.
class WriterScope {
public:
    explicit WriterScope(std::wstring path) : path_(std::move(path)) {
        SetStageHook([this](const char* stage) {
            if (std::string(stage) == "piece copied")
                RewriteInPlace(path_, (++writes_ % 2) ? 'x' : 'y');
        });
    }
    ~WriterScope() { SetStageHook({}); }
    WriterScope(const WriterScope&) = delete;
    WriterScope& operator=(const WriterScope&) = delete;

private:
    std::wstring path_;
    int writes_ = 0;
};

// The game's data is one large map; every piece the job copies is that map's.
class WrittenWhileCopied : public testing::Test {
public:
    std::wstring Game() const { return dir / L"game"; }
    std::wstring Set() const { return dir / L"set"; }
    std::wstring Journal() const { return dir / L"journal\\job journal.txt"; }
    std::wstring GameMap() const { return Game() + L"\\maps\\live.big"; }

    void SetUp() override {
        for (const wchar_t* folder : {L"saves", L"maps", L"scores"})
            MakeDirs(Game() + L"\\" + folder);
        RewriteFile(GameMap(), 'a');
        MakeDirs(Set());
        ASSERT_TRUE(Backup().Whole());
        ShiftWriteTimes(Set() + L"\\maps", -100);  // the set's map is older than what comes
    }

    static void RewriteFile(const std::wstring& path, char fill) { WriteTextFile(path, std::string(kBigSize, fill)); }

    JobReport Backup(const std::wstring& linkFrom = L"") {
        return BackupJob(Game(), Set(), L"", Journal(), linkFrom).Run(events);
    }
    JobReport Restore() { return RestoreJob(Game(), Set(), L"", Journal()).Run(events); }

    ScratchDir dir;
    QuietJobEvents events;
};

// A backup over an earlier set while the game writes its map at every try: the job is
// undone, the earlier set stays exactly as it was, and the player is told which file. (A
// file written during one try only is copied again: the copy engine's own table.)
TEST_F(WrittenWhileCopied, BackupOfAFileStillChangingIsUndone) {
    RewriteFile(GameMap(), 'b');
    Tree before = TreeOf(Set());
    JobReport report;
    {
        WriterScope writer(GameMap());
        report = Backup();
    }
    EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
    EXPECT_EQ(TreeOf(Set()), before);
    EXPECT_EQ(DescribeJobProblems(report, JobKind::Backup, Set()),
              L"maps\\live.big changed while it was copied (is Tarnwick running?). Close the game and back up "
              L"again. Nothing was changed.");
}

// A restore reads the set, which nothing should write: a set file that keeps changing stops
// it, the game's data stays as it was, and the file is named.
TEST_F(WrittenWhileCopied, RestoreOfASetBeingWrittenLeavesTheGameAsItWas) {
    RewriteFile(GameMap(), 'g');
    Tree before = TreeOf(Game());
    JobReport report;
    {
        WriterScope writer(Set() + L"\\maps\\live.big");
        report = Restore();
    }
    EXPECT_EQ(report.outcome, JobOutcome::RolledBack);
    EXPECT_EQ(TreeOf(Game()), before);
    std::wstring said = DescribeJobProblems(report, JobKind::Restore, Set());
    EXPECT_EQ(said.rfind(L"maps\\live.big in the backup set changed while it was read", 0), 0u) << Narrow(said);
}

// A dated set's unchanged file is a hard link to the earlier set's, decided by the quick
// check when the job lists the data: a file the game rewrites after that keeps, in the new
// set, the earlier whole version that the manifest vouches for.
TEST_F(WrittenWhileCopied, FileRewrittenAfterTheQuickCheckKeepsTheEarlierWholeVersion) {
    const std::wstring earlier = dir / L"earlier";
    ASSERT_TRUE(MoveFileW(Set().c_str(), earlier.c_str()));
    ShiftWriteTimes(earlier + L"\\maps", 100);  // the same as the game's map again
    MakeDirs(Set());
    SetStageHook([this](const char* stage) {
        if (std::string(stage) == "journal written")
            RewriteInPlace(GameMap(), 'n');
    });
    JobReport report = Backup(earlier);
    SetStageHook({});
    ASSERT_TRUE(report.Whole());
    EXPECT_EQ(report.filesLinked, 1u);
    EXPECT_EQ(ReadTextFile(Set() + L"\\maps\\live.big"), std::string(kBigSize, 'a'));
    EXPECT_EQ(VerifySet(Set()).verdict, SetVerification::Verdict::Whole);
}

}  // namespace
