#include <windows.h>

#include <algorithm>
#include <knownfolders.h>
#include <shlobj.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <variant>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "Windows.h"
#include "engine/jobs/RestoreChange.h"
#include "engine/sets/BackupMarker.h"
#include "files/DirSearch.h"
#include "files/MFile.h"
#include "registry/clsRegistry.h"
#include "restore/ChooseFilesWindow.h"
#include "restore/MarkerFolderSetting.h"
#include "restore/frmRestore.h"
#include "runtime/DoEvents.h"
#include "runtime/Elevation.h"
#include "runtime/Handles.h"
#include "runtime/ProcessState.h"
#include "runtime/ProgramFile.h"
#include "runtime/StageHook.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "ui/Controls.h"

namespace {

// A backup set made by hand: it differs from the game folder in known ways.
class BackupSet {
public:
    BackupSet() {
        MakeDirs(dir / L"saves\\slot 1");
        MakeDirs(dir / L"maps");
        MakeDirs(dir / L"scores");
        WriteTextFile(dir / L"saves\\slot 1\\game.sav", "save one, backed up");
        WriteTextFile(dir / L"saves\\only in set.sav", "from the set");
        WriteTextFile(dir / L"maps\\fen.map", "fen map, backed up");
        WriteTextFile(dir / L"scores\\high.scr", "999");
        WriteTextFile(dir / L"tarnwick.cfg", "volume=1\r\n");
        // Made a day before the game's data: a restore replaces them all.
        ShiftWriteTimes(dir.Path(), -86400);
        marker = MarkerPathToday(dir.Path());
        WriteMarkerVersion(marker);
        WriteMarkerLocation(marker, dir.Path());
    }
    ScratchDir dir;
    std::wstring marker;
};

class RestoreTest : public testing::Test {
protected:
    void SetUp() override { BackupLocation.clear(); }
    void TearDown() override { UnloadAllWindows(); }

    frmRestore& RestoreFrom(const std::wstring& markerPath) {
        frmRestore& w = frmRestore::Instance();
        w.cmdNext_Click();
        SetText(w.text1(), markerPath);
        w.cmdNext_Click();
        return w;
    }

    void ExpectFinished(frmRestore& w) {
        EXPECT_EQ(w.RestoreStep, 5);
        EXPECT_EQ(w.FrontPanel(), 5);
        EXPECT_EQ(StatesOf(w), (ButtonStates{false, false, true, false}));
    }

    GameFolder game;
    BackupSet set;
    MsgBoxRecorder boxes;
};

}  // namespace

TEST_F(RestoreTest, ValidMarkerRestoresTheSetInOneClick) {
    frmRestore& w = RestoreFrom(set.marker);
    EXPECT_TRUE(boxes.Calls().empty());
    ExpectFinished(w);
    EXPECT_EQ(BackupLocation, set.dir.Path());
    EXPECT_EQ(GetText(w.Label12()), texts::RestoreDone);
    EXPECT_TRUE(IsSetToShow(w.Label6()));
    // Files of the set replace those of equal names; the game's others stay.
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"saves\\slot 1\\game.sav")), "save one, backed up");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"saves\\only in set.sav")), "from the set");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"saves\\slot 2\\game.sav")), "save two");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"maps\\fen.map")), "fen map, backed up");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"maps\\custom\\my map \u00e9.map")), "custom map");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"scores\\high.scr")), "999");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"tarnwick.cfg")), "volume=1\r\n");
}

TEST_F(RestoreTest, ChecksOfTheChosenFile) {
    ScratchDir files(true);
    auto writeMarker = [&](const std::wstring& name, const std::string& content) {
        WriteTextFile(files / name, content);
        return files / name;
    };
    std::string location = "Backup_Location=" + std::string(set.dir.Path().begin(), set.dir.Path().end());
    struct Case {
        std::wstring path;
        const wchar_t* message;
        bool boxEmptied;
    } cases[] = {
        {L"", texts::SelectAFile, false},
        {files / L"missing.BAK", texts::FileDoesNotExist, true},
        {writeMarker(L"notes.txt", "[Backup]\r\nVersion=Tarnwick\r\n"), texts::NeedBakExtension, true},
        {writeMarker(L"lower.BAK", "[Backup]\r\nVersion=tarnwick\r\n" + location), texts::NotATarnwickBackup, false},
        {writeMarker(L"empty.BAK", "[Backup]\r\nVersion=\r\n" + location), texts::NotATarnwickBackup, false},
        {writeMarker(L"nokey.BAK", "[Backup]\r\n" + location), texts::NotATarnwickBackup, false},
    };
    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    for (const auto& c : cases) {
        boxes.Clear();
        SetText(w.text1(), c.path);
        w.cmdNext_Click();
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{c.message}) << c.path;
        EXPECT_EQ(GetText(w.text1()), c.boxEmptied ? L"" : c.path);
        EXPECT_EQ(w.RestoreStep, 1);
        EXPECT_EQ(w.FrontPanel(), 1);
        EXPECT_EQ(StatesOf(w), (ButtonStates{true, true, false, true}));
    }
    EXPECT_TRUE(BackupLocation.empty());
}

TEST_F(RestoreTest, ExtensionInAnyCaseAndAnyNamePasses) {
    ScratchDir elsewhere(true);
    // A copy of the marker elsewhere, under another name, still leads to the set.
    std::wstring copy = elsewhere / L"x.Bak";
    ASSERT_TRUE(CopyFileW(set.marker.c_str(), copy.c_str(), FALSE));
    frmRestore& w = RestoreFrom(copy);
    EXPECT_TRUE(boxes.Calls().empty());
    ExpectFinished(w);
    EXPECT_EQ(BackupLocation, set.dir.Path());
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"scores\\high.scr")), "999");
}

TEST_F(RestoreTest, SetWithoutConfigFileRestoresTheFoldersSilently) {
    DeleteFileW((set.dir / L"tarnwick.cfg").c_str());
    frmRestore& w = RestoreFrom(set.marker);
    EXPECT_TRUE(boxes.Calls().empty());
    ExpectFinished(w);
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"tarnwick.cfg")), "volume=7\r\n");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"scores\\high.scr")), "999");
}

TEST_F(RestoreTest, SetWithoutMapsGetsAnEmptyMapsFolderAndTheSetIsOnlyRead) {
    RemoveTree(set.dir / L"maps");
    RemoveTree(GameFolder::Sub(L"maps"));
    frmRestore& w = RestoreFrom(set.marker);
    EXPECT_TRUE(boxes.Calls().empty());
    ExpectFinished(w);
    EXPECT_FALSE(PathExists(set.dir / L"maps"));
    EXPECT_TRUE(IsDirectory(GameFolder::Sub(L"maps")));
}

TEST_F(RestoreTest, GameFileHeldOpenLeavesTheGameDataAsItWas) {
    // The game holds its configuration file open without sharing it: it cannot be
    // replaced, so what was swapped in already goes back and nothing changes.
    Tree before = TreeOf(GameFolder::Path());
    FileHandle inUse = HoldOpen(GameFolder::Sub(L"tarnwick.cfg"));
    frmRestore& w = RestoreFrom(set.marker);
    inUse.Reset();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_NE(boxes.Calls()[0].text.find(L"Close Tarnwick"), std::wstring::npos) << Narrow(boxes.Calls()[0].text);
    ExpectFinished(w);
    EXPECT_EQ(TreeOf(GameFolder::Path()), before);
    EXPECT_EQ(GetText(w.Label12()), texts::RestoreNotComplete);
    EXPECT_FALSE(PathExists(GameFolder::SafetySets()) && !TreeOf(GameFolder::SafetySets()).empty());
    EXPECT_FALSE(IsSetToShow(w.Label6()));
}

TEST_F(RestoreTest, SetWithAListThisProgramDidNotWriteIsRefusedWithItsLine) {
    const std::wstring list = set.dir / L"Tarnwick safety set added files.txt";
    WriteTextFile(list, "saves\\new.sav\r\nmaps\r\n..\\..\\..\\victim\\secret.txt\r\n");
    Tree before = TreeOf(GameFolder::Path());
    frmRestore& w = RestoreFrom(set.marker);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text,
              list + L" is not a list this program wrote (line 3: ..\\..\\..\\victim\\secret.txt). Nothing was changed.");
    ExpectFinished(w);
    EXPECT_EQ(TreeOf(GameFolder::Path()), before);
    EXPECT_EQ(GetText(w.Label12()), texts::RestoreNotComplete);
}

// A game folder this user may not write (chattr +i stands in for the rights). Where the
// system can give the rights (the seam answers "not elevated, UAC on"), Next on step 1
// offers the restart, which takes the marker along; a restart that runs ends this copy.
// Where it cannot (under Wine), the restore is refused. Either way the wizard stays on
// step 1 unless it ends, and nothing is changed.
TEST_F(RestoreTest, GameFolderThisUserMayNotWriteIsRefusedOrOffersTheRestart) {
    struct Case {
        const char* name;
        bool seam;
        MsgResult answer;      // to the offer
        DWORD started;         // what the system answers to the start
        bool ends;
        const wchar_t* after;  // the message after the offer
    } cases[] = {
        {"no way to ask for rights", false, MsgResult::Ok, 0, false, nullptr},
        {"restart accepted", true, MsgResult::Yes, ERROR_SUCCESS, true, nullptr},
        {"declined at the consent prompt", true, MsgResult::Yes, ERROR_CANCELLED, false, texts::ElevationDeclined},
        {"offer declined", true, MsgResult::No, 0, false, texts::ElevationDeclined},
    };
    const Tree before = TreeOf(GameFolder::Path());
    ImmutableScope frozen(GameFolder::Path());
    if (!frozen.Ok())
        GTEST_SKIP() << "chattr +i is not available here";
    const std::wstring refusal = FillIn(texts::RestoreNoRights, {GameFolder::Path()});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<ElevatedStart> starts;
        if (c.seam)
            SetElevationHook([&](const ElevatedStart& start) {
                starts.push_back(start);
                return c.started;
            });
        boxes.Clear();
        boxes.QueueAnswer(c.answer);
        bool ended = false;
        try {
            RestoreFrom(set.marker);
        } catch (const ProgramEnded&) {
            ended = true;
        }
        SetElevationHook({});
        EXPECT_EQ(ended, c.ends);
        std::vector<std::wstring> said = boxes.Texts();
        ASSERT_FALSE(said.empty());
        EXPECT_EQ(said[0], c.seam ? FillIn(texts::RestoreRightsOffer, {GameFolder::Path()}) : refusal);
        const std::vector<std::wstring> expected =
            c.after ? std::vector<std::wstring>{said[0], c.after} : std::vector<std::wstring>{said[0]};
        EXPECT_EQ(said, expected);
        if (c.seam && c.answer == MsgResult::Yes) {
            ASSERT_EQ(starts.size(), 1u);
            EXPECT_EQ(starts[0].verb, L"runas");
            EXPECT_EQ(starts[0].file, ThisProgram());
            EXPECT_EQ(starts[0].parameters, L"/restorewizard \"" + set.marker + L"\"");
        } else {
            EXPECT_TRUE(starts.empty());
        }
        EXPECT_EQ(frmRestore::Instance().RestoreStep, c.ends ? frmRestore::Instance().RestoreStep : 1);
        EXPECT_EQ(TreeOf(GameFolder::Path()), before);
        EXPECT_FALSE(PathExists(GameFolder::SafetySets()));
        UnloadAllWindows();
    }
}

TEST_F(RestoreTest, MarkerWhoseSetIsGoneIsRefused) {
    ScratchDir files(true);
    std::wstring gone = files / L"gone.BAK";
    WriteMarkerVersion(gone);
    WriteMarkerLocation(gone, files / L"moved away");
    std::wstring empty = files / L"empty.BAK";
    WriteTextFile(empty, "[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=\r\n");

    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    SetText(w.text1(), gone);
    w.cmdNext_Click();
    SetText(w.text1(), empty);
    w.cmdNext_Click();
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_NE(boxes.Calls()[0].text.find(files / L"moved away"), std::wstring::npos);
    EXPECT_EQ(boxes.Calls()[1].text, texts::MarkerWithoutLocation);
    EXPECT_EQ(w.RestoreStep, 1);
    EXPECT_FALSE(PathExists(files / L"moved away"));
    EXPECT_FALSE(PathExists(L"C:\\saves"));
}

TEST_F(RestoreTest, BackAfterAFailedCheckReturnsToTheWelcome) {
    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    w.cmdNext_Click();  // empty box
    w.cmdBack_Click();
    EXPECT_EQ(w.RestoreStep, 0);
    EXPECT_EQ(w.FrontPanel(), 0);
    EXPECT_FALSE(IsEnabled(w.cmdBack()));
    EXPECT_TRUE(IsEnabled(w.cmdNext()));
}

TEST_F(RestoreTest, FinishedCreatingDocumentMessage) {
    frmRestore::Instance().ShowFinishedCreatingDocument();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, L"Finished creating document");
    EXPECT_EQ(boxes.Calls()[0].title, L"Finished");
}

TEST_F(RestoreTest, SelectFillsTheBoxAndCancelEmptiesIt) {
    std::wstring pick = set.marker;
    SetOpenDialogHook([&](OPENFILENAMEW& record) {
        if (pick.empty())
            return FALSE;
        wcscpy_s(record.lpstrFile, record.nMaxFile, pick.c_str());
        return TRUE;
    });
    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    w.btnSelect_Click();
    EXPECT_EQ(GetText(w.text1()), set.marker);
    pick.clear();
    w.btnSelect_Click();
    EXPECT_EQ(GetText(w.text1()), L"");
    w.cmdNext_Click();
    SetOpenDialogHook({});
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Please select a file"});
    EXPECT_EQ(w.RestoreStep, 1);
}

TEST_F(RestoreTest, FailedCopyPutsTheGameDataBack) {
    // A file of the set that cannot be read: the restore cannot be whole.
    Tree before = TreeOf(GameFolder::Path());
    FileHandle inUse = HoldOpen(set.dir / L"saves\\slot 1\\game.sav");
    frmRestore& w = RestoreFrom(set.marker);
    inUse.Reset();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    const std::wstring& text = boxes.Calls()[0].text;
    EXPECT_NE(text.find(set.dir / L"saves"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"game.sav"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(texts::RestoreRolledBack), std::wstring::npos) << Narrow(text);
    ExpectFinished(w);
    EXPECT_EQ(GetText(w.Label12()), texts::RestoreNotComplete);
    EXPECT_EQ(TreeOf(GameFolder::Path()), before);
}

TEST_F(RestoreTest, FilesGoWhereTheGameReadsThem) {
    // Windows keeps the game's quick save in the player's per-user copy.
    PerUserGameCopy perUser;
    MakeDirs(perUser.Sub(L"saves"));
    WriteTextFile(perUser.Sub(L"saves\\quick.sav"), "quick, per-user");
    frmRestore& w = RestoreFrom(set.marker);
    ExpectFinished(w);
    EXPECT_TRUE(boxes.Calls().empty());
    // The set's file beside it in saves goes there too; deeper ones to the game folder.
    EXPECT_EQ(ReadTextFile(perUser.Sub(L"saves\\only in set.sav")), "from the set");
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"saves\\slot 1\\game.sav")), "save one, backed up");
    EXPECT_FALSE(PathExists(perUser.Sub(L"saves\\slot 1")));
    // The per-user quick save, which the set lacks, stays what the game reads.
    EXPECT_EQ(ReadTextFile(perUser.Sub(L"saves\\quick.sav")), "quick, per-user");
}

TEST_F(RestoreTest, StepPanelsShowTheCopyGoingOn) {
    frmRestore& w = frmRestore::Instance();
    std::vector<std::wstring> statuses;
    // What the step says beside each file it names; each file takes long enough to be
    // named on screen while it is copied.
    std::map<std::wstring, std::set<std::wstring>> saidWhileCopying;
    SetStageHook([](const char* stage) {
        if (std::string(stage) == "file copied")
            Sleep(250);
    });
    SetYieldHook([&] {
        const ProgressDisplay* display = w.ProgressOn(w.FrontPanel());
        if (!display || !IsSetToShow(display->Status()))
            return;
        statuses.push_back(GetText(display->Status()));
        std::wstring file = GetText(display->Detail());
        for (const wchar_t* part : {L"\\saves\\", L"\\maps\\", L"\\scores\\", L"\\tarnwick.cfg"})
            if (file.find(part) != std::wstring::npos)
                saidWhileCopying[part].insert(GetText(display->Caption()));
    });
    RestoreFrom(set.marker);
    SetYieldHook({});
    SetStageHook({});
    ExpectFinished(w);
    // The set's five files, each of another time than the game's.
    EXPECT_NE(std::find_if(statuses.begin(), statuses.end(),
                           [](const std::wstring& s) { return s.rfind(L"5 of 5 files copied, ", 0) == 0; }),
              statuses.end());
    const std::map<std::wstring, std::set<std::wstring>> agreed = {
        {L"\\saves\\", {L"Restoring saved games..."}},
        {L"\\maps\\", {L"Restoring maps..."}},
        {L"\\scores\\", {L"Restoring scores..."}},
        {L"\\tarnwick.cfg", {L"Restoring customized settings..."}},
    };
    for (const auto& [part, said] : saidWhileCopying)
        EXPECT_EQ(said, agreed.at(part)) << Narrow(part);
    EXPECT_TRUE(saidWhileCopying.count(L"\\maps\\")) << "no map was named while it was copied";
}

TEST_F(RestoreTest, CancelDuringTheCopyUndoesTheRestoreThenEnds) {
    Tree before = TreeOf(GameFolder::Path());
    frmRestore& w = frmRestore::Instance();
    bool asked = false;
    SetYieldHook([&] {
        if (w.RestoreStep != 3 || asked)
            return;
        asked = true;
        w.cmdCancel_Click();  // a job is running: this only asks it to stop
    });
    EXPECT_THROW(RestoreFrom(set.marker), ProgramEnded);
    SetYieldHook({});
    EXPECT_TRUE(asked);
    EXPECT_EQ(TreeOf(GameFolder::Path()), before);
    EXPECT_FALSE(PathExists(GameFolder::SafetySets()) && !TreeOf(GameFolder::SafetySets()).empty());
}

TEST_F(RestoreTest, FinishPanelNamesTheSafetySet) {
    frmRestore& w = RestoreFrom(set.marker);
    ExpectFinished(w);
    std::wstring safetySet;
    DirSearch search(GameFolder::SafetySets() + L"\\", FILE_ATTRIBUTE_DIRECTORY);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsDotEntry())
            safetySet = GameFolder::SafetySets() + L"\\" + entry.name;
    }
    std::wstring marker = MarkerPathToday(safetySet);
    EXPECT_TRUE(PathExists(marker));
    EXPECT_EQ(ReadTextFile(safetySet + L"\\tarnwick.cfg"), "volume=7\r\n");
    EXPECT_NE(GetText(w.SafetySetLabel()).find(marker), std::wstring::npos) << Narrow(GetText(w.SafetySetLabel()));
}

TEST_F(RestoreTest, TwoClicksAtOnceCheckTheStepTheWizardIsOn) {
    // From the welcome panel the second click checks step 1 and its empty box.
    frmRestore& w = frmRestore::Instance();
    PostTwoClicksAndHandleThem(w.cmdNext());
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::SelectAFile});
    EXPECT_EQ(w.RestoreStep, 1);
    EXPECT_TRUE(BackupLocation.empty());

    // With a marker the first click starts the restore; the second, handled during its
    // first yield, finds Next disabled and changes nothing.
    boxes.Clear();
    SetText(w.text1(), set.marker);
    short stepAtFirstYield = -1;
    SetYieldHook([&] {
        if (stepAtFirstYield < 0)
            stepAtFirstYield = w.RestoreStep;
    });
    PostTwoClicksAndHandleThem(w.cmdNext());
    SetYieldHook({});
    EXPECT_EQ(stepAtFirstYield, 3);
    EXPECT_TRUE(boxes.Calls().empty());
    ExpectFinished(w);
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"scores\\high.scr")), "999");
}

TEST_F(RestoreTest, MarkerWhoseFolderHoldsNoSetIsRefused) {
    struct Case {
        const char* name;
        std::function<void(const ScratchDir&)> fill;
        bool accepted;
    } cases[] = {
        {"empty folder", [](const ScratchDir&) {}, false},
        {"other things", [](const ScratchDir& d) { WriteTextFile(d / L"holiday.jpg", "photo"); }, false},
        {"a file named saves", [](const ScratchDir& d) { WriteTextFile(d / L"saves", "not a folder"); }, false},
        {"a folder named tarnwick.cfg", [](const ScratchDir& d) { MakeDirs(d / L"tarnwick.cfg"); }, false},
        {"only scores", [](const ScratchDir& d) { MakeDirs(d / L"scores"); }, true},
        {"only tarnwick.cfg", [](const ScratchDir& d) { WriteTextFile(d / L"tarnwick.cfg", "volume=3\r\n"); }, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnloadAllWindows();
        boxes.Clear();
        BackupLocation.clear();
        ScratchDir location(true);
        c.fill(location);
        const Tree before = TreeOf(location.Path());
        std::wstring marker = location / L"Tarnwick_2026.12.06.BAK";
        WriteMarkerVersion(marker);
        WriteMarkerLocation(marker, location.Path());
        frmRestore& w = RestoreFrom(marker);
        if (c.accepted) {
            EXPECT_TRUE(boxes.Calls().empty());
            ExpectFinished(w);
            continue;
        }
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{FillIn(texts::MarkerLocationHoldsNoSet, {location.Path()})});
        EXPECT_EQ(w.RestoreStep, 1);
        EXPECT_EQ(GetText(w.text1()), marker);
        EXPECT_TRUE(BackupLocation.empty());
        std::filesystem::remove(std::filesystem::path(marker));
        EXPECT_EQ(TreeOf(location.Path()), before) << "something was made in the folder";
    }
}

namespace {

// The user's settings of the program, emptied for the test and put back afterwards.
class OpenDialogStartTest : public RestoreTest {
protected:
    void SetUp() override {
        RestoreTest::SetUp();
        saved_ = clsRegistry().GetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue);
        clsRegistry().DeleteValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue);
        SetOpenDialogHook([this](OPENFILENAMEW& record) {
            startFolder = record.lpstrInitialDir ? record.lpstrInitialDir : L"(none)";
            return FALSE;
        });
    }
    void TearDown() override {
        SetOpenDialogHook({});
        clsRegistry().DeleteValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue);
        if (const auto* folder = std::get_if<std::wstring>(&saved_))
            clsRegistry().SetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue, *folder);
        RestoreTest::TearDown();
    }

    std::wstring StartFolderOfTheDialog() {
        startFolder.clear();
        frmRestore::Instance().btnSelect_Click();
        return startFolder;
    }

    static std::wstring Documents() {
        TaskString path;
        EXPECT_EQ(SHGetKnownFolderPath(FOLDERID_Documents, 0, nullptr, path.Receive()), S_OK);
        return path.Get();
    }

    std::wstring startFolder;
    RegistryValue saved_;
};

}  // namespace

TEST_F(OpenDialogStartTest, StartsInTheDocumentsWithoutARememberedFolder) {
    EXPECT_FALSE(Documents().empty());
    EXPECT_EQ(StartFolderOfTheDialog(), Documents());
    // A remembered folder that is gone is no start either.
    ASSERT_TRUE(clsRegistry().CreateKey(HkeyCurrentUser, SettingsKey));
    clsRegistry().SetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue, std::wstring(L"C:\\no such folder\\"));
    EXPECT_EQ(StartFolderOfTheDialog(), Documents());
}

TEST_F(OpenDialogStartTest, StartsWhereTheLastAcceptedMarkerLay) {
    ScratchDir elsewhere(true);
    ASSERT_TRUE(clsRegistry().CreateKey(HkeyCurrentUser, SettingsKey));
    clsRegistry().SetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue, elsewhere.Path());
    EXPECT_EQ(StartFolderOfTheDialog(), elsewhere.Path());

    // A refused marker is not remembered; an accepted one is, typed relative or not, as a
    // full path.
    frmRestore& refusing = frmRestore::Instance();
    refusing.cmdNext_Click();
    SetText(refusing.text1(), elsewhere / L"missing.BAK");
    refusing.cmdNext_Click();
    EXPECT_EQ(StartFolderOfTheDialog(), elsewhere.Path());
    UnloadAllWindows();
    CopyFileW(set.marker.c_str(), (set.dir / L"copy.BAK").c_str(), FALSE);
    wchar_t previous[MAX_PATH];
    GetCurrentDirectoryW(MAX_PATH, previous);
    SetCurrentDirectoryW(set.dir.Path().c_str());
    boxes.Clear();
    frmRestore& w = RestoreFrom(L"copy.BAK");
    SetCurrentDirectoryW(previous);
    EXPECT_EQ(GetText(w.text1()), set.dir / L"copy.BAK");
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{});
    EXPECT_EQ(clsRegistry().GetValue(HkeyCurrentUser, SettingsKey, LastMarkerFolderValue),
              RegistryValue(set.dir.Path() + L"\\"));
    EXPECT_EQ(StartFolderOfTheDialog(), set.dir.Path() + L"\\");
}

TEST_F(OpenDialogStartTest, FailedDialogEmptiesTheBoxLikeCancel) {
    // A name longer than the buffer: the dialog fails and leaves the size it needed there.
    SetOpenDialogHook([](OPENFILENAMEW& record) {
        record.lpstrFile[0] = static_cast<wchar_t>(300);
        record.lpstrFile[1] = 0;
        return FALSE;
    });
    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    SetText(w.text1(), L"typed earlier");
    w.btnSelect_Click();
    EXPECT_EQ(GetText(w.text1()), L"");
}

TEST_F(RestoreTest, GameBelowProgramFilesX86IsTheOneRestoredWithItsSafetySetBeside) {
    const std::wstring x86 = ProgramFilesX86GameFolder();
    RemoveTree(GameFolder::Path());
    MakeGameData(x86, "x86");
    frmRestore& w = RestoreFrom(set.marker);
    ExpectFinished(w);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_FALSE(PathExists(GameFolder::Path()));
    EXPECT_EQ(ReadTextFile(x86 + L"\\saves\\slot 1\\game.sav"), "save one, backed up");
    EXPECT_EQ(ReadTextFile(x86 + L"\\saves\\quick.sav"), "quick x86");  // only the game had it
    EXPECT_FALSE(TreeOf(x86 + L" safety sets").empty());
    EXPECT_NE(GetText(w.SafetySetLabel()).find(x86 + L"."), std::wstring::npos) << Narrow(GetText(w.SafetySetLabel()));
}

TEST_F(RestoreTest, NoGameFolderAnywhereRestoresNothingAndMakesNone) {
    RemoveTree(GameFolder::Path());
    boxes.QueueAnswer(MsgResult::No);
    frmRestore& w = RestoreFrom(set.marker);
    EXPECT_EQ(w.FrontPanel(), 5);
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[1].text, FillIn(texts::RestoreNoGameFolderFound, {GameFolder::Path()}));
    EXPECT_FALSE(PathExists(GameFolder::Path()));
    EXPECT_FALSE(PathExists(ProgramFilesX86GameFolder()));
}

// The player narrows the restore in "Choose files...": what is ticked is restored, nothing
// ticked keeps the wizard on its step, another marker takes the choice away; the sets of
// other days beside a dated set's marker are offered newest first.
TEST_F(RestoreTest, ChooseFilesNarrowsTheRestore) {
    std::function<bool(const RestoreChange&)> tick;
    size_t rows = 0;
    SetChooseFilesHook([&](const std::vector<RestoreChange>& changes) {
        rows = changes.size();
        std::vector<bool> ticks;
        for (const RestoreChange& change : changes)
            ticks.push_back(tick(change));
        return std::optional(ticks);
    });
    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    SetText(w.text1(), set.marker);
    EXPECT_FALSE(IsSetToShow(w.cboSets()));
    tick = [](const RestoreChange&) { return false; };
    w.btnChoose_Click();
    w.cmdNext_Click();
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::RestoreNothingChosen});
    EXPECT_EQ(w.RestoreStep, 1);
    SetText(w.text1(), set.marker);
    EXPECT_TRUE(w.Choice().All());
    EXPECT_EQ(GetText(w.ChoiceLabel()), L"");

    const Tree before = TreeOf(GameFolder::Path());
    tick = [](const RestoreChange& change) { return change.name == L"saves\\only in set.sav"; };
    w.btnChoose_Click();
    SetChooseFilesHook({});
    ASSERT_GE(rows, 4u);
    EXPECT_EQ(GetText(w.ChoiceLabel()), FillIn(texts::RestoreChosenCount, {L"1", std::to_wstring(rows)}));
    w.cmdNext_Click();
    ExpectFinished(w);
    Tree expected = before;
    expected.emplace_back(L"saves\\only in set.sav", "from the set");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(TreeOf(GameFolder::Path()), expected);
    EXPECT_NE(GetText(w.SafetySetLabel()).find(L"1 file restored."), std::wstring::npos);
}

TEST_F(RestoreTest, TheSetsOfOtherDaysAreOfferedNewestFirst) {
    ScratchDir folder;
    std::vector<std::wstring> markers;
    for (const wchar_t* name : {L"2026.12.01 21.00.00", L"2026.12.02 21.00.00"}) {
        MakeGameData(folder / name, Narrow(name));
        markers.push_back(WriteMarker(folder / name));
    }
    frmRestore& w = frmRestore::Instance();
    w.cmdNext_Click();
    SetText(w.text1(), markers[0]);
    EXPECT_TRUE(IsSetToShow(w.cboSets()));
    ASSERT_EQ(SendMessageW(w.cboSets(), CB_GETCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(w.cboSets(), CB_GETCURSEL, 0, 0), 1);
    w.cboSets_Click(0);
    EXPECT_EQ(GetText(w.text1()), markers[1]);
    EXPECT_EQ(SendMessageW(w.cboSets(), CB_GETCURSEL, 0, 0), 0);
}
