// Jobs on set folders made by someone else: lists this program would not write, links to
// a folder outside, journals naming folders that are not the job's own, a set on a
// read-only medium, and data rewritten a moment after its copy. After each refused job
// a victim folder outside, the game's data and the set are byte for byte as they were.

#include <windows.h>

#include <functional>
#include <random>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "engine/game/GameLayout.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SafetySets.h"
#include "engine/sets/SetManifest.h"
#include "runtime/TextConv.h"

namespace {

class CraftedSetTest : public testing::Test {
public:
    std::wstring Game() const { return dir / L"vol\\Tarnwick"; }
    std::wstring Set() const { return dir / L"set"; }
    std::wstring Victim() const { return dir / L"victim"; }
    std::wstring Journal() const { return dir / L"journal\\job journal.txt"; }

    JobReport Backup() { return BackupJob(Game(), Set(), L"", Journal()).Run(quiet); }
    JobReport Restore() { return RestoreJob(Game(), Set(), L"", Journal()).Run(quiet); }

    ~CraftedSetTest() override { RemoveLinks(); }

    // Links go from the Linux side: Wine can list a link to a folder but not remove it,
    // and a removal that followed it would empty the victim.
    void RemoveLinks() { (void)LinuxCommandSucceeds(dir.Path(), "find . -type l -delete"); }

    // A game, a set made by a backup of it, and a victim folder beside them.
    void MakeScene() {
        RemoveLinks();
        RemoveTree(dir.Path());
        MakeGameData(Game(), "game");
        MakeDirs(Set());
        ASSERT_TRUE(Backup().Whole());
        MakeGameData(Game(), "played since");
        ShiftWriteTimes(Game(), 60);
        MakeDirs(Victim() + L"\\saves");
        WriteTextFile(Victim() + L"\\secret.txt", "secret");
        WriteTextFile(Victim() + L"\\saves\\quick.sav", "not the game's");
        WriteTextFile(Victim() + L"\\s2.txt", "second secret");
    }

    struct Snapshot {
        Tree game, set, victim;
    };
    Snapshot Take() const { return {ListTree(Game()), ListTree(Set()), ListTree(Victim())}; }

    void ExpectRefusedUntouched(const JobReport& report, const Snapshot& before, JobKind kind) {
        EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
        EXPECT_TRUE(report.refused.has_value());
        EXPECT_EQ(ListTree(Victim()), before.victim) << "the victim folder changed";
        EXPECT_EQ(ListTree(Game()), before.game) << "the game's data changed";
        EXPECT_EQ(ListTree(Set()), before.set) << "the set changed";
        EXPECT_FALSE(PathExists(Journal()));
        std::wstring told = DescribeJobProblems(report, kind, Set());
        EXPECT_NE(told.find(L"Nothing was changed."), std::wstring::npos) << Narrow(told);
        if (report.refused) {
            EXPECT_NE(told.find(report.refused->path), std::wstring::npos) << Narrow(told);
        }
    }

    ScratchDir dir;
    QuietJobEvents quiet;
};

std::string Digest() { return std::string(64, 'b') + "  "; }

struct Crafted {
    const char* name;
    std::function<bool(CraftedSetTest&)> craft;  // false: cannot be made here (no Linux side)
    size_t line;                                 // the list's line refused; 0 for a link
    bool backupRefused;                          // a backup into the set refuses too
};

TEST_F(CraftedSetTest, ACraftedSetIsRefusedWholeAndNothingOutsideIsTouched) {
    const std::wstring kStaging = L"\\Tarnwick new backup (being swapped in)";
    auto added = [](const std::string& text) {
        return [text](CraftedSetTest& t) {
            WriteTextFile(t.Set() + L"\\" + game::AddedListName, text);
            return true;
        };
    };
    auto manifest = [](const std::string& text) {
        return [text](CraftedSetTest& t) {
            WriteTextFile(t.Set() + L"\\" + SetManifest::FileName, text);
            return true;
        };
    };
    std::string noise(2 << 20, '\0');
    std::mt19937 random(24);
    for (char& c : noise)
        c = static_cast<char>(random() % 256);
    const Crafted cases[] = {
        {"a list of added files climbing out", added("saves\\new.sav\r\nmaps\r\n..\\..\\..\\victim\\secret.txt\r\n"), 3,
         false},
        {"a manifest naming a file outside the set", manifest(Digest() + "saves/quick.sav\n" + Digest() + "../victim/secret.txt\n"),
         2, false},
        {"a manifest of 2 MiB of random bytes", manifest(noise), 1, false},
        {"a manifest listing a name twice", manifest(Digest() + "saves/quick.sav\n" + Digest() + "saves/QUICK.sav\n"), 2,
         false},
        {"a stopped backup's swap list taking a file from outside",
         [&](CraftedSetTest& t) {
             MakeDirs(t.Set() + kStaging);
             WriteTextFile(t.Set() + kStaging + L"\\Tarnwick swap list.txt", "+0 saves\\quick.sav\n-0 ..\\victim\\s2.txt\n");
             return true;
         },
         2, true},
        {"a link in saves to a folder outside",
         [](CraftedSetTest& t) { return MakeLinuxSymlink(t.Victim(), t.Set() + L"\\saves\\outside"); }, 0, true},
        {"saves itself a link to a folder outside",
         [](CraftedSetTest& t) {
             RemoveTree(t.Set() + L"\\saves");
             return MakeLinuxSymlink(t.Victim(), t.Set() + L"\\saves");
         },
         0, true},
        {"a stopped backup's staging folder that is a link",
         [&](CraftedSetTest& t) { return MakeLinuxSymlink(t.Victim(), t.Set() + kStaging); }, 0, true},
        {"an earlier release's holding folder that is a link",
         [](CraftedSetTest& t) {
             return MakeLinuxSymlink(t.Victim(),
                                     t.Set() + L"\\Tarnwick earlier set (kept until the new backup is complete)");
         },
         0, true},
    };
    for (const Crafted& c : cases) {
        SCOPED_TRACE(c.name);
        MakeScene();
        if (!c.craft(*this)) {
            ADD_FAILURE() << "the case could not be made";
            continue;
        }
        const Snapshot before = Take();
        JobReport restored = Restore();
        ExpectRefusedUntouched(restored, before, JobKind::Restore);
        if (restored.refused) {
            EXPECT_EQ(restored.refused->line, c.line);
        }
        if (!c.backupRefused)
            continue;
        JobReport backedUp = Backup();
        ExpectRefusedUntouched(backedUp, before, JobKind::Backup);
    }
}

// A folder where a set's list should be: the list cannot be read, and the restore does not
// start over a set it cannot check, naming the list.
TEST_F(CraftedSetTest, AListThatCannotBeReadRefusesTheRestoreNamingIt) {
    for (const wchar_t* list : {SetManifest::FileName, game::AddedListName}) {
        SCOPED_TRACE(Narrow(list));
        MakeScene();
        RemoveTree(Set() + L"\\" + list);
        MakeDirs(Set() + L"\\" + list);
        const Snapshot before = Take();
        JobReport report = Restore();
        EXPECT_EQ(report.outcome, JobOutcome::NotStarted);
        EXPECT_EQ(report.failedAt, JobStage::Manifest);
        EXPECT_EQ(report.failure.item, Set() + L"\\" + list);
        EXPECT_EQ(ListTree(Game()), before.game);
        EXPECT_EQ(ListTree(Set()), before.set);
    }
}

// A backup with a manifest it cannot trust carries no digest over: the new manifest is
// made from the data itself.
TEST_F(CraftedSetTest, ABackupOverAnUntrustedManifestWritesATrueOne) {
    MakeScene();
    WriteTextFile(Set() + L"\\" + SetManifest::FileName, Digest() + "saves/quick.sav\n" + Digest() + "../victim/x\n");
    ASSERT_TRUE(Backup().Whole());
    SetManifest manifest;
    ASSERT_EQ(manifest.Read(Set() + L"\\" + SetManifest::FileName).state, ListRead::State::Read);
    EXPECT_NE(*manifest.Find(L"saves\\quick.sav"), std::string(64, 'b'));
    std::optional<bool> checked = LinuxCommandSucceeds(Set(), "sha256sum -c --quiet --strict 'Tarnwick set contents.sha256'");
    if (checked) {
        EXPECT_TRUE(*checked);
    }
}

// What a stopped copy left in the set goes, a link in it as a link: what it leads to
// stays. Where the link cannot be removed (Wine cannot remove a Linux link to a folder),
// the backup does not copy into it: it is refused, naming the link.
TEST_F(CraftedSetTest, RemovingAStagingFolderRemovesALinkInItNeverWhatItLeadsTo) {
    MakeScene();
    const std::wstring staging = Set() + L"\\Tarnwick new backup (being copied)";
    MakeDirs(staging);
    ASSERT_TRUE(MakeLinuxSymlink(Victim(), staging + L"\\saves"));
    const Snapshot before = Take();
    JobReport report = Backup();
    EXPECT_EQ(ListTree(Victim()), before.victim);
    if (report.Whole()) {
        EXPECT_FALSE(PathExists(staging));
        return;
    }
    ExpectRefusedUntouched(report, before, JobKind::Backup);
    ASSERT_TRUE(report.refused);
    EXPECT_TRUE(report.refused->IsLink());
    EXPECT_EQ(report.refused->path, staging + L"\\saves");
}

// ---- Journals naming folders that are not the job's own -------------------------

struct ForeignJournal {
    const char* name;
    std::function<std::string(CraftedSetTest&)> fields;  // after job= and stage=
};

TEST_F(CraftedSetTest, AJournalNamingForeignFoldersIsKeptAsideAndNotActedOn) {
    auto n = [](const std::wstring& path) { return Narrow(path); };
    auto safety = [](CraftedSetTest& t) { return t.dir / L"vol\\Tarnwick safety sets\\2026.12.08 10.00.00"; };
    const ForeignJournal cases[] = {
        {"a safety set outside the safety sets' folder",
         [&](CraftedSetTest& t) {
             return "gameFolder=" + n(t.Game()) + "\r\nsetFolder=" + n(t.Set()) + "\r\nsafetySet=" + n(t.Victim()) + "\r\n";
         }},
        {"a game folder the program does not look in",
         [&](CraftedSetTest& t) {
             return "gameFolder=" + n(t.Victim()) + "\r\nsetFolder=" + n(t.Set()) + "\r\nsafetySet=" +
                    n(t.Victim() + L" safety sets\\2026.12.08 10.00.00") + "\r\n";
         }},
        {"a per-user copy that is not the game folder's",
         [&](CraftedSetTest& t) {
             return "gameFolder=" + n(t.Game()) + "\r\nsetFolder=" + n(t.Set()) + "\r\nperUserCopy=" + n(t.Victim()) +
                    "\r\nsafetySet=" + n(safety(t)) + "\r\n";
         }},
        {"a set folder climbing out",
         [&](CraftedSetTest& t) {
             return "gameFolder=" + n(t.Game()) + "\r\nsetFolder=" + n(t.Set()) + "\\..\\victim\r\nsafetySet=" +
                    n(safety(t)) + "\r\n";
         }},
        {"a relative set folder",
         [&](CraftedSetTest& t) { return "gameFolder=" + n(t.Game()) + "\r\nsetFolder=victim\r\nsafetySet=" + n(safety(t)) + "\r\n"; }},
    };
    for (const ForeignJournal& c : cases) {
        SCOPED_TRACE(c.name);
        MakeScene();
        // A swap under way whose list, run backwards, would bring the victim's file in.
        MakeDirs(Game() + L" (restore being copied)");
        WriteTextFile(Game() + L" (restore being copied)\\Tarnwick swap list.txt", "+0 saves\\quick.sav\n");
        MakeDirs(dir / L"journal");
        WriteTextFile(Journal(), "Backup Tarnwick job journal\r\njob=restore\r\nstage=unswapping\r\n" + c.fields(*this));
        const Snapshot before = Take();
        Recovery recovery = RecoverInterruptedJob(Journal(), {Game()});
        EXPECT_EQ(recovery.found, Recovery::Found::Unreadable);
        EXPECT_TRUE(recovery.foreign);
        EXPECT_EQ(recovery.keptAt, Journal() + L" (unreadable)");
        EXPECT_TRUE(PathExists(Journal() + L" (unreadable)"));
        EXPECT_EQ(ListTree(Victim()), before.victim);
        EXPECT_EQ(ListTree(Game()), before.game);
    }
}

// ---- The quick check and a set on a read-only medium ------------------------------

// Gives every save of the tree other bytes of the same size.
void RewriteSaves(const std::wstring& game, char with) {
    for (const auto& [rel, content] : ListTree(game + L"\\saves")) {
        if (!rel.ends_with(L"\\"))
            WriteTextFile(game + L"\\saves\\" + rel, std::string(content.size(), with));
    }
}

TEST_F(CraftedSetTest, ASaveRewrittenHalfASecondAfterItsCopyIsChanged) {
    MakeGameData(Game(), "first");
    MakeDirs(Set());
    ASSERT_TRUE(Backup().Whole());
    Sleep(500);
    // Other bytes of the same size, within the 2 seconds FAT would round away.
    RewriteSaves(Game(), 'X');
    ASSERT_TRUE(Restore().Whole());
    EXPECT_EQ(ListTree(Game() + L"\\saves"), ListTree(Set() + L"\\saves")) << "a rewritten save was left as it was";

    RewriteSaves(Game(), 'Y');
    ASSERT_TRUE(Backup().Whole());
    EXPECT_EQ(ListTree(Set() + L"\\saves"), ListTree(Game() + L"\\saves")) << "a rewritten save was not backed up";
}

struct ReadOnlyCase {
    const char* name;
    const wchar_t* lacking;  // a data folder the set lacks, or nullptr
};

TEST_F(CraftedSetTest, ASetOnAReadOnlyMediumRestoresLikeAnyOther) {
    const ReadOnlyCase cases[] = {{"a whole set", nullptr}, {"a set lacking scores", L"scores"}};
    for (const ReadOnlyCase& c : cases) {
        SCOPED_TRACE(c.name);
        MakeScene();
        if (c.lacking) {
            // As an earlier release left it: no manifest, which would miss the folder.
            RemoveTree(Set() + L"\\" + c.lacking);
            RemoveTree(Set() + L"\\" + SetManifest::FileName);
        }
        const Tree set = ListTree(Set());
        const Tree scores = ListTree(Game() + L"\\scores");
        ReadOnlyScope readOnly(Set());
        if (!readOnly.Ok())
            GTEST_SKIP() << "no read-only mount here (not root)";
        JobReport report = Restore();
        ASSERT_TRUE(report.Whole()) << Narrow(DescribeJobProblems(report, JobKind::Restore, Set()));
        EXPECT_EQ(ListTree(Set()), set);
        EXPECT_EQ(ListTree(Game() + L"\\saves"), ListTree(Set() + L"\\saves"));
        EXPECT_EQ(ListTree(Game() + L"\\scores"), c.lacking ? scores : ListTree(Set() + L"\\scores"));
    }
}

}  // namespace
