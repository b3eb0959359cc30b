// What a restore would change, shown before it runs, and a restore of part of a set: the
// preview must name exactly what the restore then changes, and a choice must change
// nothing else and keep a safety set that undoes just it.

#include <windows.h>

#include <functional>
#include <map>
#include <set>

#include "GameData.h"
#include "TestSupport.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "runtime/TextConv.h"

namespace {

using Changes = std::set<std::wstring>;  // "replace saves\quick.sav"

// What changed between two listings of a tree, in the preview's words: folders only where
// they are new and empty.
Changes Diff(const Tree& before, const Tree& after) {
    std::map<std::wstring, std::string> was(before.begin(), before.end());
    Changes changes;
    for (const auto& [name, content] : after) {
        const bool folder = name.back() == L'\\';
        auto it = was.find(name);
        if (it == was.end()) {
            const bool empty = folder && std::none_of(after.begin(), after.end(), [&](const auto& other) {
                return other.first.size() > name.size() && other.first.compare(0, name.size(), name) == 0;
            });
            if (!folder || empty)
                changes.insert(L"add " + name);
        } else if (!folder && it->second != content) {
            changes.insert(L"replace " + name);
        }
    }
    return changes;
}

Changes Words(const std::vector<RestoreChange>& changes) {
    Changes words;
    for (const RestoreChange& change : changes) {
        std::wstring line = DescribeChange(change);
        words.insert(line.substr(0, line.find(L'\t')));
    }
    return words;
}

class RestoreChoiceTest : public testing::Test {
public:
    std::wstring Game() const { return dir / L"game"; }
    std::wstring Set() const { return dir / L"set"; }
    std::wstring Journal() const { return dir / L"journal\\job journal.txt"; }

    // A set of the game as first played, with a name in two scripts.
    void SetUp() override {
        MakeGameData(Game(), "first");
        WriteTextFile(Game() + L"\\saves\\slot \u00e9\u4e2d.sav", "two scripts");
        MakeDirs(Set());
        ASSERT_TRUE(BackupJob(Game(), Set(), L"", Journal()).Run(quiet).Whole());
    }

    RestoreJob Restore(const std::wstring& from, std::vector<std::wstring> only = {}) const {
        RestoreJob job(Game(), from, L"", Journal());
        std::wstring bad;
        if (std::optional<RestoreChoice> choice = RestoreChoice::Parse(only, bad))
            job.Choose(std::move(*choice));
        return job;
    }

    // The game's data played on: every kind of difference from the set at once.
    void PlayOn() {
        WriteTextFile(Game() + L"\\saves\\quick.sav", "quick, played on");
        WriteTextFile(Game() + L"\\saves\\slot 1\\game.sav", "slot one, played on");
        DeleteFileW((Game() + L"\\maps\\fen.map").c_str());
        WriteTextFile(Game() + L"\\tarnwick.cfg", "cfg, played on");
        WriteTextFile(Game() + L"\\saves\\new.sav", "only in the game");
    }

    ScratchDir dir;
    QuietJobEvents quiet;
};

// Each way the game may differ from the set: the preview's lines are what the restore
// then changes, and the preview itself changes nothing, not even a folder's time.
TEST_F(RestoreChoiceTest, PreviewNamesWhatTheRestoreChanges) {
    const struct {
        const char* name;
        std::function<void(const std::wstring& game)> change;
    } cases[] = {
        {"replaced", [](auto& g) { WriteTextFile(g + L"\\saves\\quick.sav", "quick, played on"); }},
        {"added", [](auto& g) { DeleteFileW((g + L"\\maps\\fen.map").c_str()); }},
        {"the same", [](auto&) {}},
        {"only in the game", [](auto& g) { WriteTextFile(g + L"\\scores\\new.scr", "new"); }},
        {"a folder", [](auto& g) { RemoveTree(g + L"\\saves\\slot 1"); }},
        {"a folder replaced whole", [](auto& g) { WriteTextFile(g + L"\\saves\\slot 1\\game.sav", "again"); }},
        {"an empty folder", [](auto& g) { RemoveTree(g + L"\\saves\\slot 2"); }},
        {"a name in two scripts", [](auto& g) { DeleteFileW((g + L"\\saves\\slot \u00e9\u4e2d.sav").c_str()); }},
    };
    MakeDirs(Set() + L"\\saves\\slot 2");  // an empty folder in the set
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Restore(Set()).Run(quiet).Whole());
        c.change(Game());
        const Tree before = ListTree(dir.Path());
        const std::vector<std::wstring> folders = {dir.Path(), Game(), Game() + L"\\saves", Game() + L"\\maps"};
        const std::vector<std::int64_t> times = WriteTimesOf(folders);
        RestorePreview preview = Restore(Set()).Preview(quiet);
        ASSERT_TRUE(preview.report.Whole());
        EXPECT_EQ(ListTree(dir.Path()), before);
        EXPECT_EQ(WriteTimesOf(folders), times);

        const Tree game = ListTree(Game());
        ASSERT_TRUE(Restore(Set()).Run(quiet).Whole());
        EXPECT_EQ(Words(preview.changes), Diff(game, ListTree(Game())));
    }
}

// A choice restores what it names and nothing else; its safety set keeps just what it
// replaced, and restoring that gives the game's data back as it was.
TEST_F(RestoreChoiceTest, OnlyWhatIsChosenChangesAndItsSafetySetUndoesIt) {
    const struct {
        const char* name;
        std::vector<std::wstring> only;
        Changes changed;
    } cases[] = {
        {"a file", {L"saves\\quick.sav"}, {L"replace saves\\quick.sav"}},
        {"a folder", {L"saves\\slot 1"}, {L"replace saves\\slot 1\\game.sav"}},
        {"a folder with a trailing backslash", {L"SAVES\\slot 1\\"}, {L"replace saves\\slot 1\\game.sav"}},
        {"two names", {L"maps\\fen.map", L"tarnwick.cfg"}, {L"add maps\\fen.map", L"replace tarnwick.cfg"}},
    };
    PlayOn();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const Tree before = ListTree(Game());
        RestorePreview preview = Restore(Set(), c.only).Preview(quiet);
        EXPECT_EQ(Words(preview.changes), c.changed);
        JobReport report = Restore(Set(), c.only).Run(quiet);
        ASSERT_TRUE(report.Whole());
        EXPECT_EQ(Diff(before, ListTree(Game())), c.changed);
        // The safety set: the files replaced, no other game data.
        Changes kept;
        for (const auto& [name, content] : ListTree(report.safetySet)) {
            if (name.back() != L'\\' && DataName::Parse(name))
                kept.insert(L"replace " + name);
        }
        Changes replaced;
        for (const std::wstring& change : c.changed) {
            if (change.rfind(L"replace ", 0) == 0)
                replaced.insert(change);
        }
        EXPECT_EQ(kept, replaced);
        ASSERT_TRUE(Restore(report.safetySet).Run(quiet).Whole());
        EXPECT_EQ(ListTree(Game()), before);
    }
}

// A name that is not one of the game's data is never read into a choice; one the set does
// not hold refuses the restore before anything changes.
TEST_F(RestoreChoiceTest, NamesOutsideTheSetAreRefusedWhole) {
    for (const wchar_t* text : {L"..\\..\\victim.txt", L"saves\\..\\..\\victim.txt", L"C:\\windows\\win.ini",
                                L"\\\\server\\share\\x", L"Tarnwick.exe", L"tarnwick.cfg\\x", L"saves\\a:b", L""}) {
        std::wstring bad;
        EXPECT_FALSE(RestoreChoice::Parse({L"saves", text}, bad)) << Narrow(text);
        EXPECT_EQ(bad, text);
    }
    PlayOn();
    const Tree before = ListTree(dir.Path());
    JobReport report = Restore(Set(), {L"saves\\quick.sav", L"saves\\gone.sav"}).Run(quiet);
    EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
    EXPECT_EQ(report.failedAt, JobStage::NotInSet);
    EXPECT_EQ(report.failure.item, L"saves\\gone.sav");
    EXPECT_EQ(ListTree(dir.Path()), before);
}

}  // namespace
