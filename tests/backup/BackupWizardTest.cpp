#include <windows.h>

#include <algorithm>
#include <optional>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "Windows.h"
#include "backup/FolderChooser.h"
#include "backup/clsBackup.h"
#include "backup/frmBackup.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "engine/sets/BackupMarker.h"
#include "engine/staging/BackupStaging.h"
#include "files/FullPath.h"
#include "runtime/Clipboard.h"
#include "runtime/DoEvents.h"
#include "runtime/EventGuard.h"
#include "runtime/Handles.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "runtime/WineHost.h"
#include "schedule/DailySchedule.h"
#include "ui/Controls.h"

namespace {

class BackupTest : public testing::Test {
protected:
    void SetUp() override {
        BackupLocation.clear();
        BackupStep = 0;
    }
    void TearDown() override {
        SetFolderChooserHook({});
        SetYieldHook({});
        UnloadAllWindows();
    }

    frmBackup& WalkToFolderStep() {
        frmBackup& w = frmBackup::Instance();
        w.cmdNext_Click();
        w.cmdNext_Click();
        EXPECT_EQ(BackupStep, 2);
        return w;
    }

    // The whole backup as a user runs it: Next, Next, the folder typed, Next.
    frmBackup& BackUpInto(const std::wstring& folder) {
        frmBackup& w = WalkToFolderStep();
        SetText(w.text1(), folder);
        w.cmdNext_Click();
        return w;
    }

    // The marker a backup writes for folder: its keys, and when it was made (in UTC, of the
    // right form; the time itself is the marker's own).
    static std::string ExpectedMarker(const std::wstring& folder) {
        std::optional<std::uint64_t> made = ReadMarkerMade(MarkerPathToday(folder));
        EXPECT_TRUE(made.has_value());
        std::string line = ReadTextFile(MarkerPathToday(folder));
        const size_t at = line.find("Made_UTC=");
        return "[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=" + std::string(folder.begin(), folder.end()) + "\r\n" +
               (at == std::string::npos ? std::string() : line.substr(at, 31));
    }

    GameFolder game;
    MsgBoxRecorder boxes;
};

// Whether the label's text, wrapped as the label wraps it, fits the label's height.
bool TextFitsLabel(HWND label) {
    RECT client;
    GetClientRect(label, &client);
    std::wstring text = GetText(label);
    HDC dc = GetDC(label);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(label, WM_GETFONT, 0, 0)));
    RECT needed = client;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(label, dc);
    return needed.bottom - needed.top <= client.bottom - client.top;
}

}  // namespace

TEST_F(BackupTest, WholeBackupCopiesEverythingAndWritesTheMarker) {
    ScratchDir dest(true);
    frmBackup& w = BackUpInto(dest.Path());

    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(BackupStep, 5);
    EXPECT_EQ(w.FrontPanel(), 5);
    EXPECT_EQ(StatesOf(w), (ButtonStates{false, true, true, false}));
    EXPECT_EQ(GetText(w.txtPath()), dest.Path());
    EXPECT_EQ(BackupLocation, dest.Path());
    EXPECT_TRUE(IsSetToShow(w.CongratulationsHeading()));
    EXPECT_TRUE(IsSetToShow(w.RemovableAdvice()));
    EXPECT_TRUE(TextFitsLabel(w.CompleteLabel())) << "the verdict is cut off";
    EXPECT_FALSE(IsSetToShow(w.WhereNote()));
    for (const wchar_t* folder : {L"saves", L"maps", L"scores"})
        EXPECT_EQ(TreeOf(dest / folder), TreeOf(GameFolder::Sub(folder))) << folder;
    EXPECT_EQ(ReadTextFile(dest / L"tarnwick.cfg"), "volume=7\r\n");
    std::wstring marker = MarkerPathToday(dest.Path());
    EXPECT_EQ(ReadTextFile(marker), ExpectedMarker(dest.Path()));
}

// A backup without a window failed; one from the wizard completes: the failure no longer stands.
TEST_F(BackupTest, AWholeBackupAnswersAFailedOneWithoutAWindow) {
    const std::wstring state = LastWindowlessBackupPath();
    ASSERT_TRUE(RecordWindowlessBackup(state, {SYSTEMTIME{2026, 12, 2, 8, 21, 0, 0, 0}, L"D:\\gone", 1, L"gone", L"line",
                                               false})
                    .Ok());
    ScratchDir dest(true);
    BackUpInto(dest.Path());
    std::optional<WindowlessBackup> last = ReadWindowlessBackup(state);
    ASSERT_TRUE(last);
    EXPECT_FALSE(last->FailureStands());
    DeleteFileW(state.c_str());
}

TEST_F(BackupTest, StepPanelsShowTheCopyGoingOn) {
    ScratchDir dest(true);
    frmBackup& w = WalkToFolderStep();
    SetText(w.text1(), dest.Path());
    std::vector<std::wstring> statuses, details;
    SetYieldHook([&] {
        const ProgressDisplay* display = w.ProgressOn(w.FrontPanel());
        if (!display || !IsSetToShow(display->Status()))
            return;
        if (statuses.empty() || statuses.back() != GetText(display->Status()))
            statuses.push_back(GetText(display->Status()));
        details.push_back(GetText(display->Detail()));
    });
    w.cmdNext_Click();
    SetYieldHook({});
    ASSERT_EQ(BackupStep, 5);
    // Counted first, then copied: all eight files of the game data, each named on the way.
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front().rfind(L"Counting the files to copy:", 0), 0u) << Narrow(statuses.front());
    EXPECT_NE(std::find_if(statuses.begin(), statuses.end(),
                           [](const std::wstring& s) { return s.rfind(L"8 of 8 files copied, ", 0) == 0; }),
              statuses.end());
    EXPECT_NE(std::find_if(details.begin(), details.end(),
                           [](const std::wstring& d) { return d.rfind(GameFolder::Path(), 0) == 0; }),
              details.end());
}

namespace {

// The finish panel, top to bottom: the advice to copy the folder as one sentence around
// its box, the daily backup's line, the note of where the data came from; all within the
// panel and none cut off.
void ExpectFinishPanelLayout(frmBackup& w) {
    auto rect = [](HWND control) {
        RECT r{};
        GetWindowRect(control, &r);
        return r;
    };
    const RECT recommend = rect(w.RecommendLabel());
    const RECT path = rect(w.txtPath());
    const RECT removable = rect(w.RemovableAdvice());
    const RECT note = rect(w.WhereNote());
    const RECT panel = rect(w.fraSteps(5).Hwnd());
    EXPECT_LE(recommend.bottom, path.top);
    EXPECT_LE(path.bottom, removable.top);
    EXPECT_LT(removable.top - path.bottom, 8);
    for (HWND part : {w.DailyCheck(), w.DailyAt(), w.DailyKeep()}) {
        const RECT r = rect(part);
        EXPECT_GE(r.top, removable.bottom);
        EXPECT_LE(r.bottom, note.top);
        EXPECT_LE(r.right, panel.right);
    }
    EXPECT_LE(note.bottom, panel.bottom);
    EXPECT_TRUE(TextFitsLabel(w.WhereNote())) << "the note is cut off";
    EXPECT_TRUE(TextFitsLabel(w.RemovableAdvice())) << "the sentence is cut off";
    const RECT check = rect(w.DailyCheck());
    EXPECT_GE(check.right - check.left, TextWidth(w.DailyCheck(), texts::DailyCheckBox) + GetSystemMetrics(SM_CXMENUCHECK));
}

}  // namespace

TEST_F(BackupTest, NewerFilesInWindowsPerUserCopyAreWhatIsBackedUp) {
    PerUserGameCopy perUser;
    MakeDirs(perUser.Sub(L"saves"));
    WriteTextFile(perUser.Sub(L"saves\\quick.sav"), "quick, as the game last wrote it");
    ScratchDir dest(true);
    frmBackup& w = BackUpInto(dest.Path());
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadTextFile(dest / L"saves\\quick.sav"), "quick, as the game last wrote it");
    EXPECT_EQ(ReadTextFile(dest / L"saves\\slot 1\\game.sav"), "save one");
    EXPECT_TRUE(IsSetToShow(w.WhereNote()));
    EXPECT_NE(GetText(w.WhereNote()).find(perUser.Path()), std::wstring::npos);
    // Where the game's data also came from Windows' per-user copy, the note is at its longest.
    ExpectFinishPanelLayout(w);
}

TEST_F(BackupTest, FolderOutsideTheAnsiCodePageIsRecordedFaithfully) {
    ScratchDir dest;  // its name holds characters the ANSI code page lacks
    BackUpInto(dest.Path());
    EXPECT_TRUE(boxes.Calls().empty());
    std::wstring marker = MarkerPathToday(dest.Path());
    EXPECT_EQ(ReadMarkerVersion(marker), L"Tarnwick");
    EXPECT_EQ(ReadMarkerLocation(marker), dest.Path());
    EXPECT_EQ(TreeOf(dest / L"saves"), TreeOf(GameFolder::Sub(L"saves")));
}

TEST_F(BackupTest, MissingGameFolderGivesEmptyFoldersAndNoMessage) {
    RemoveTree(GameFolder::Sub(L"maps"));
    ScratchDir dest(true);
    BackUpInto(dest.Path());
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_TRUE(IsDirectory(GameFolder::Sub(L"maps")));
    EXPECT_TRUE(IsDirectory(dest / L"maps"));
    EXPECT_TRUE(TreeOf(dest / L"maps").empty());
    EXPECT_TRUE(PathExists(MarkerPathToday(dest.Path())));
}

TEST_F(BackupTest, MissingConfigFileIsReportedOnceAndTheSetStillGetsItsMarker) {
    DeleteFileW(GameFolder::Sub(L"tarnwick.cfg").c_str());
    ScratchDir dest(true);
    frmBackup& w = BackUpInto(dest.Path());
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Error copying File"});
    EXPECT_EQ(w.FrontPanel(), 5);
    EXPECT_FALSE(PathExists(dest / L"tarnwick.cfg"));
    EXPECT_EQ(ReadTextFile(MarkerPathToday(dest.Path())), ExpectedMarker(dest.Path()));
}

TEST_F(BackupTest, SecondBackupMergesIntoTheSet) {
    ScratchDir dest(true);
    BackUpInto(dest.Path());
    UnloadAllWindows();
    WriteTextFile(dest / L"saves\\only in backup.sav", "old");
    WriteTextFile(GameFolder::Sub(L"saves\\quick.sav"), "quick, later");
    BackupStep = 0;
    BackUpInto(dest.Path());
    EXPECT_EQ(ReadTextFile(dest / L"saves\\quick.sav"), "quick, later");
    EXPECT_EQ(ReadTextFile(dest / L"saves\\only in backup.sav"), "old");
    EXPECT_EQ(ReadTextFile(MarkerPathToday(dest.Path())), ExpectedMarker(dest.Path()));
}

TEST_F(BackupTest, FolderStepRefusesEmptyMissingAndFilePaths) {
    ScratchDir scratch(true);
    WriteTextFile(scratch / L"a file", "x");
    struct Case {
        std::wstring typed;
        const wchar_t* message;
        std::wstring boxAfter;
    } cases[] = {
        {L"", texts::EnterPath, L""},
        {scratch / L"no such folder", texts::NotAValidFolder, L""},
        {scratch / L"a file", texts::NotAValidFolder, L""},
    };
    frmBackup& w = WalkToFolderStep();
    for (const auto& c : cases) {
        boxes.Clear();
        SetText(w.text1(), c.typed);
        w.cmdNext_Click();
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{c.message}) << c.typed;
        EXPECT_EQ(boxes.Calls().at(0).icon, MsgIcon::None);
        EXPECT_EQ(GetText(w.text1()), c.boxAfter);
        EXPECT_EQ(BackupStep, 2);
        EXPECT_EQ(w.FrontPanel(), 2);
        EXPECT_TRUE(BackupLocation.empty());
    }
}

TEST_F(BackupTest, SelectPutsTheTrimmedPickIntoTheBoxAndCancelBringsItBack) {
    std::vector<FolderChooserRequest> requests;
    std::optional<std::wstring> answer;
    SetFolderChooserHook([&](const FolderChooserRequest& r) {
        requests.push_back(r);
        return answer;
    });
    frmBackup& w = WalkToFolderStep();
    SetText(w.text1(), L"typed");
    answer.reset();
    w.btnSelect_Click();  // cancel before any pick: the box keeps what was typed
    EXPECT_EQ(GetText(w.text1()), L"typed");

    answer = L"  C:\\picked folder  ";
    w.btnSelect_Click();
    EXPECT_EQ(GetText(w.text1()), L"C:\\picked folder");
    EXPECT_EQ(BackupLocation, L"C:\\picked folder");

    SetText(w.text1(), L"C:\\picked folder\\edited");
    answer.reset();
    w.btnSelect_Click();  // cancel after a pick: the earlier pick comes back
    EXPECT_EQ(GetText(w.text1()), L"C:\\picked folder");

    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[0].title, L"Quillset Backup Folder");
    EXPECT_EQ(requests[0].prompt, L"Select or create a new folder to backup to:");
    EXPECT_EQ(requests[0].initialFolder, L"c:\\test");
}

TEST_F(BackupTest, EditedPickIsTheFolderThatIsUsed) {
    ScratchDir picked(true);
    ScratchDir edited(true);
    SetFolderChooserHook([&](const FolderChooserRequest&) { return std::optional<std::wstring>(picked.Path()); });
    frmBackup& w = WalkToFolderStep();
    w.btnSelect_Click();
    SetText(w.text1(), edited.Path());
    w.cmdNext_Click();
    EXPECT_EQ(BackupLocation, edited.Path());
    EXPECT_TRUE(PathExists(MarkerPathToday(edited.Path())));
    EXPECT_FALSE(PathExists(picked / L"saves"));
}

TEST_F(BackupTest, CopyToClipboardPutsThePathThere) {
    ScratchDir dest(true);
    frmBackup& w = BackUpInto(dest.Path());
    ASSERT_TRUE(PutTextOnClipboard(nullptr, L"earlier content"));
    w.Command1_Click();
    EXPECT_EQ(TextOnClipboard(), dest.Path());
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{L"Path has been copied to clipboard"});
}

TEST_F(BackupTest, EngineOnEarlySteps) {
    frmBackup& w = frmBackup::Instance();
    for (short step : {0, 1, 2}) {
        BackupStep = step;
        w.ApplyRow({Btn::On, Btn::On, Btn::On, Btn::On});
        long before = YieldCount();
        clsBackup(w, L"").Backup();
        EXPECT_EQ(YieldCount(), before + 3) << step;
        EXPECT_EQ(StatesOf(w), (ButtonStates{true, true, true, true})) << step;
        EXPECT_EQ(BackupStep, step);
    }
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(BackupTest, CancelDuringTheCopyEndsTheProgramWithoutMarker) {
    ScratchDir dest(true);
    frmBackup& w = WalkToFolderStep();
    SetText(w.text1(), dest.Path());
    bool sawOnlyCancel = false;
    SetYieldHook([&] {
        if (BackupStep != 3)
            return;
        sawOnlyCancel = StatesOf(w) == ButtonStates{false, true, false, false};
        w.cmdCancel_Click();
    });
    EXPECT_THROW(w.cmdNext_Click(), ProgramEnded);
    SetYieldHook({});
    EXPECT_TRUE(sawOnlyCancel);
    EXPECT_FALSE(PathExists(MarkerPathToday(dest.Path())));
}

TEST_F(BackupTest, StepTwoChecksBoxBeforeTheCopy) {
    // The check runs after the button row and the yields: the box may change meanwhile.
    ScratchDir dest(true);
    frmBackup& w = WalkToFolderStep();
    SetYieldHook([&] { SetText(w.text1(), dest.Path()); });
    w.cmdNext_Click();
    SetYieldHook({});
    EXPECT_EQ(BackupLocation, dest.Path());
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST_F(BackupTest, FailedCopyIsReportedAndLeavesTheEarlierSetAsItWas) {
    ScratchDir dest(true);
    MakeDirs(dest / L"saves");
    WriteTextFile(dest / L"saves\\quick.sav", "an older quick save");
    WriteTextFile(dest / L"maps.txt", "the player's notes");
    Tree before = TreeOf(dest.Path());
    // Another program holds one of the game's saves open: it cannot be read.
    FileHandle inUse = HoldOpen(GameFolder::Sub(L"saves\\quick.sav"));
    frmBackup& w = BackUpInto(dest.Path());
    inUse.Reset();

    ASSERT_EQ(boxes.Calls().size(), 1u);
    const std::wstring& text = boxes.Calls()[0].text;
    EXPECT_NE(text.find(L"Tarnwick\\saves"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"quick.sav"), std::wstring::npos) << Narrow(text);
    EXPECT_NE(text.find(L"exactly as they were"), std::wstring::npos) << Narrow(text);
    EXPECT_EQ(w.FrontPanel(), 5);
    EXPECT_TRUE(w.SetIncomplete());
    EXPECT_FALSE(IsSetToShow(w.CongratulationsHeading()));
    EXPECT_FALSE(IsSetToShow(w.RemovableAdvice()));
    EXPECT_TRUE(TextFitsLabel(w.CompleteLabel())) << "the verdict is cut off";
    EXPECT_EQ(TreeOf(dest.Path()), before);
}

TEST_F(BackupTest, MissingGameFolderIsNotABackup) {
    // A file where the game's folder should be: the game is not installed there.
    RemoveTree(GameFolder::Path());
    WriteTextFile(GameFolder::Path(), "not a folder");
    ScratchDir dest(true);
    boxes.QueueAnswer(MsgResult::No);  // not installed elsewhere either
    frmBackup& w = BackUpInto(dest.Path());
    bool stillAFile = PathExists(GameFolder::Path()) && !IsDirectory(GameFolder::Path());
    DeleteFileW(GameFolder::Path().c_str());
    ASSERT_EQ(boxes.Calls().size(), 2u);
    for (const MsgBoxCall& call : boxes.Calls())
        EXPECT_NE(call.text.find(GameFolder::Path()), std::wstring::npos) << Narrow(call.text);
    EXPECT_EQ(w.FrontPanel(), 5);
    EXPECT_TRUE(w.SetIncomplete());
    EXPECT_TRUE(stillAFile);
    EXPECT_TRUE(TreeOf(dest.Path()).empty());
}

namespace {

// The current folder for one test, put back afterwards.
class CurrentFolder {
public:
    explicit CurrentFolder(const std::wstring& folder) {
        wchar_t buffer[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, buffer);
        previous_ = buffer;
        SetCurrentDirectoryW(folder.c_str());
    }
    ~CurrentFolder() { SetCurrentDirectoryW(previous_.c_str()); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

private:
    std::wstring previous_;
};

std::wstring ShortPathOf(const std::wstring& path) {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : path;
}

}  // namespace

TEST_F(BackupTest, TwoClicksAtOnceNeverBackUpWithoutACheckedFolder) {
    ScratchDir dest(true);
    struct Case {
        const char* name;
        short from;
        std::wstring typed;
        short to;
        std::vector<std::wstring> messages;
        bool backedUp;
    } cases[] = {
        {"welcome", 0, L"", 2, {}, false},
        // The second click moves on to step 2 inside the first one's yields: the first
        // one must then check the empty folder box of step 2.
        {"information", 1, L"", 2, {texts::EnterPath}, false},
        {"empty folder box", 2, L"", 2, {texts::EnterPath, texts::EnterPath}, false},
        {"folder typed", 2, dest.Path(), 5, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        UnloadAllWindows();
        BackupStep = 0;
        BackupLocation.clear();
        boxes.Clear();
        frmBackup& w = frmBackup::Instance();
        for (short i = 0; i < c.from; ++i)
            w.cmdNext_Click();
        SetText(w.text1(), c.typed);
        PostTwoClicksAndHandleThem(w.cmdNext());
        EXPECT_EQ(w.Step(), c.to);
        EXPECT_EQ(w.FrontPanel(), c.to);
        EXPECT_EQ(boxes.Texts(), c.messages);
        EXPECT_EQ(BackupLocation, c.backedUp ? dest.Path() : L"");
        EXPECT_EQ(PathExists(MarkerPathToday(dest.Path())), c.backedUp);
        EXPECT_FALSE(PathExists(L"C:\\saves"));  // where a backup without folder copies to
    }
}

TEST_F(BackupTest, TwoClicksAtOnceWhileCopyingChangeNothing) {
    // Next is disabled while the engine copies; clicks queued before that are dropped, so
    // the wizard never shows a step ahead of the copy.
    for (short clickedOn : {3, 4}) {
        SCOPED_TRACE(clickedOn);
        UnloadAllWindows();
        BackupStep = 0;
        ScratchDir dest(true);
        frmBackup& w = WalkToFolderStep();
        SetText(w.text1(), dest.Path());
        bool posted = false;
        bool foldersBeforeStep4 = true;
        bool markerBeforeStep5 = true;
        SetYieldHook([&] {
            // The folders are copied (into the staging folder, later in place) before step 4 shows.
            bool copied = IsDirectory(dest / L"scores");
            for (StagingState state : {StagingState::Copying, StagingState::Swapping})
                copied = copied || IsDirectory(BackupLayer(dest.Path(), state).staging + L"\\scores");
            if (w.Step() == 4 && !copied)
                foldersBeforeStep4 = false;
            if (w.Step() == 5 && !PathExists(MarkerPathToday(dest.Path())))
                markerBeforeStep5 = false;
            if (!posted && w.Step() == clickedOn) {
                posted = true;
                WPARAM click = MAKEWPARAM(GetDlgCtrlID(w.cmdNext()), BN_CLICKED);
                PostMessageW(w.Hwnd(), WM_COMMAND, click, reinterpret_cast<LPARAM>(w.cmdNext()));
                PostMessageW(w.Hwnd(), WM_COMMAND, click, reinterpret_cast<LPARAM>(w.cmdNext()));
            }
        });
        w.cmdNext_Click();
        SetYieldHook({});
        EXPECT_TRUE(posted);
        EXPECT_TRUE(foldersBeforeStep4);
        EXPECT_TRUE(markerBeforeStep5);
        EXPECT_EQ(w.Step(), 5);
        EXPECT_TRUE(boxes.Calls().empty());
        EXPECT_EQ(ReadTextFile(MarkerPathToday(dest.Path())), ExpectedMarker(dest.Path()));
    }
}

TEST_F(BackupTest, RelativeFolderBecomesFullAgainstTheCurrentFolder) {
    ScratchDir scratch(true);
    MakeDirs(scratch / L"work");
    MakeDirs(scratch / L"bk");
    MakeDirs(scratch / L"sets");
    CurrentFolder current(scratch / L"work");
    const std::wstring rootRelative = (scratch / L"bk").substr(2);  // "\..." on the current drive
    struct Case {
        std::wstring typed;
        std::wstring recorded;
    } cases[] = {
        {L"..\\bk", scratch / L"bk"},
        {L"..\\sets\\", scratch / L"sets\\"},
        {L"C:..\\sets", scratch / L"sets"},  // relative to the current folder of drive C:
        {rootRelative, scratch / L"bk"},
        // A full path stays exactly as typed.
        {scratch / L"sets\\", scratch / L"sets\\"},
        {scratch / L"work\\..\\bk", scratch / L"work\\..\\bk"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(Narrow(c.typed));
        UnloadAllWindows();
        BackupStep = 0;
        boxes.Clear();
        frmBackup& w = BackUpInto(c.typed);
        EXPECT_TRUE(boxes.Calls().empty());
        EXPECT_EQ(w.Step(), 5);
        EXPECT_EQ(BackupLocation, c.recorded);
        EXPECT_EQ(GetText(w.text1()), c.recorded);
        EXPECT_EQ(GetText(w.txtPath()), c.recorded);
        EXPECT_EQ(ReadMarkerLocation(MarkerPathToday(c.recorded)), c.recorded);
    }
    EXPECT_FALSE(PathExists(scratch / L"work\\saves"));
}

TEST_F(BackupTest, FolderStepRefusesTheGameFolderAndFoldersInside) {
    ScratchDir scratch(true);
    const std::wstring refusal = FillIn(texts::BackupFolderInGameFolder, {GameFolder::Path()});
    CurrentFolder current(GameFolder::Sub(L"maps"));
    const std::wstring typedPaths[] = {
        GameFolder::Path(),
        GameFolder::Path() + L"\\",
        L"c:\\PROGRAM FILES\\glimmerfen studios\\TARNWICK",
        GameFolder::Sub(L"saves"),
        GameFolder::Sub(L"maps\\custom"),
        GameFolder::Sub(L"saves\\..\\scores\\"),
        ShortPathOf(GameFolder::Sub(L"saves")),
        L"..\\saves",  // relative: made full first
    };
    frmBackup& w = WalkToFolderStep();
    for (const auto& typed : typedPaths) {
        SCOPED_TRACE(Narrow(typed));
        boxes.Clear();
        SetText(w.text1(), typed);
        w.cmdNext_Click();
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{refusal});
        EXPECT_EQ(GetText(w.text1()), IsFullPath(typed) ? typed : GameFolder::Sub(L"saves"));
        EXPECT_EQ(w.Step(), 2);
        EXPECT_TRUE(BackupLocation.empty());
    }
    EXPECT_FALSE(PathExists(GameFolder::Sub(L"saves\\saves")));
    EXPECT_FALSE(PathExists(GameFolder::Sub(L"maps\\custom\\maps")));
}

TEST_F(BackupTest, FolderStepRefusesAPathTheMarkerCannotHold) {
    // The restore reads back at most 254 characters of the location.
    ScratchDir scratch(true);
    std::wstring marker = scratch / L"probe.BAK";
    for (size_t length : {254u, 255u}) {
        std::wstring location(length, L'x');
        WriteMarkerLocation(marker, location);
        EXPECT_EQ(ReadMarkerLocation(marker) == location, length == 254) << length;
    }

    std::wstring longest = scratch.Path();
    while (longest.size() < 255)
        longest += longest.size() + 2 <= 255 ? L"\\." : L"\\";
    ASSERT_EQ(longest.size(), 255u);
    ASSERT_TRUE(IsDirectory(longest));
    frmBackup& w = WalkToFolderStep();
    SetText(w.text1(), longest);
    w.cmdNext_Click();
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{FillIn(texts::BackupFolderTooLong, {L"254", L"255"})});
    EXPECT_EQ(GetText(w.text1()), longest);
    EXPECT_EQ(w.Step(), 2);
    EXPECT_TRUE(BackupLocation.empty());
    EXPECT_FALSE(PathExists(scratch / L"saves"));
}

namespace {

// The game installed where the program does not look, and what the player answers.
struct ChoiceCase {
    const char* name;
    MsgResult answer;      // to "is Tarnwick installed in another folder?"
    const char* picked;    // what the folder dialog gives: "game", "empty" or nothing
    size_t boxes;          // message boxes shown in all
    bool backedUp;
};

const ChoiceCase kChoices[] = {
    {"declined", MsgResult::No, nullptr, 2, false},
    {"dialog cancelled", MsgResult::Yes, nullptr, 2, false},
    {"a folder without the game's data", MsgResult::Yes, "empty", 3, false},
    {"the game's folder", MsgResult::Yes, "game", 1, true},
};

}  // namespace

TEST_F(BackupTest, GameInstalledElsewhereIsBackedUpFromTheFolderThePlayerChooses) {
    RemoveTree(GameFolder::Path());
    ScratchDir elsewhere;
    MakeGameData(elsewhere / L"game", "elsewhere");
    MakeDirs(elsewhere / L"empty");
    for (const ChoiceCase& c : kChoices) {
        SCOPED_TRACE(c.name);
        ScratchDir dest(true);
        boxes.Clear();
        boxes.QueueAnswer(c.answer);
        SetFolderChooserHook([&](const FolderChooserRequest&) -> std::optional<std::wstring> {
            if (!c.picked)
                return std::nullopt;
            return elsewhere / Widen(c.picked);
        });
        BackupStep = 0;
        frmBackup& w = BackUpInto(dest.Path());
        EXPECT_EQ(boxes.Calls().size(), c.boxes);
        EXPECT_EQ(w.SetIncomplete(), !c.backedUp);
        EXPECT_EQ(PathExists(MarkerPathToday(dest.Path())), c.backedUp);
        EXPECT_EQ(PathExists(dest / L"saves\\quick.sav"), c.backedUp);
        const bool noted = GetText(w.WhereNote()).find(elsewhere / L"game") != std::wstring::npos;
        EXPECT_EQ(noted, c.backedUp);
        UnloadAllWindows();
    }
    // The choice is remembered: the next backup finds the game without a question.
    ScratchDir dest(true);
    boxes.Clear();
    BackupStep = 0;
    BackUpInto(dest.Path());
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadTextFile(dest / L"saves\\quick.sav"), "quick elsewhere");
}

namespace {

// A key as the message loop gets it: posted to the control with the focus, then handled
// with the rest of the queue.
void PressKeyOnFocus(WPARAM key) {
    HWND focus = GetFocus();
    ASSERT_NE(focus, nullptr);
    PostMessageW(focus, WM_KEYDOWN, key, 0);
    PostMessageW(focus, WM_KEYUP, key, 0xC0000000);
    for (int i = 0; i < 3; ++i)
        DoEvents();
}

}  // namespace

TEST_F(BackupTest, EnterOnTheFolderStepIsNextWithItsChecks) {
    ScratchDir dest(true);
    frmBackup& w = frmBackup::Instance();
    w.Show();
    PressKeyOnFocus(VK_RETURN);
    PressKeyOnFocus(VK_RETURN);
    ASSERT_EQ(BackupStep, 2);
    EXPECT_EQ(GetFocus(), w.text1());
    // Tab: the step's own controls, then Cancel, Back, Next (Finish is disabled here).
    std::vector<HWND> tabOrder;
    for (HWND at = w.text1(); tabOrder.size() < 5; at = GetNextDlgTabItem(w.Hwnd(), at, FALSE))
        tabOrder.push_back(at);
    EXPECT_EQ(tabOrder, (std::vector<HWND>{w.text1(), w.btnSelect(), w.cmdCancel(), w.cmdBack(), w.cmdNext()}));
    PressKeyOnFocus(VK_RETURN);
    EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::EnterPath});
    EXPECT_EQ(BackupStep, 2);
    SetText(w.text1(), dest.Path());
    PressKeyOnFocus(VK_RETURN);
    EXPECT_EQ(w.FrontPanel(), 5);
    EXPECT_EQ(GetFocus(), w.cmdFinish());
    EXPECT_TRUE(PathExists(MarkerPathToday(dest.Path())));
}

namespace {

// The finish panel's offer of a daily backup; no task before or after.
class DailyOfferTest : public BackupTest {
protected:
    void SetUp() override {
        BackupTest::SetUp();
        UnscheduleDailyBackup();
    }
    void TearDown() override {
        UnscheduleDailyBackup();
        BackupTest::TearDown();
    }
};

struct DailyCase {
    const char* name;
    bool checked;
    const wchar_t* at;
    const wchar_t* keep;
    bool ends;               // Finish ends the program
    const wchar_t* says;     // a part of the one message; nullptr for none
    const wchar_t* taskSays; // a part of the task's description; nullptr for no task
};

const DailyCase kDailyCases[] = {
    {"unchecked", false, L"21:00", L"14", true, nullptr, nullptr},
    {"a time that is not one", true, L"25:00", L"14", false, L"such as 21:00", nullptr},
    {"no number of sets", true, L"21:00", L"", false, L"from 1 to 9999", nullptr},
    {"checked", true, L"6:30", L"5", true, L"06:30", L" every day at 06:30, keeping the newest 5."},
};

}  // namespace

TEST_F(DailyOfferTest, FinishSetsUpTheDailyBackupTheLineDescribes) {
    ScratchDir dest(true);
    frmBackup& w = BackUpInto(dest.Path());
    ASSERT_EQ(BackupStep, 5);
    EXPECT_TRUE(IsSetToShow(w.DailyCheck()));
    for (const DailyCase& c : kDailyCases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        PutTextOnClipboard(w.Hwnd(), L"what the player copied before");
        SendMessageW(w.DailyCheck(), BM_SETCHECK, c.checked ? BST_CHECKED : BST_UNCHECKED, 0);
        SetText(w.DailyAt(), c.at);
        SetText(w.DailyKeep(), c.keep);
        bool ended = false;
        try {
            w.cmdFinish_Click();
        } catch (const ProgramEnded&) {
            ended = true;
        }
        EXPECT_EQ(ended, c.ends);
        ASSERT_EQ(boxes.Calls().size(), c.says ? 1u : 0u);
        std::optional<ScheduledTask> task = ScheduledDailyBackup();
        ASSERT_EQ(task.has_value(), c.taskSays != nullptr);
        if (!c.says || !task)
            continue;
        const std::wstring said = boxes.Calls()[0].text;
        EXPECT_NE(said.find(c.says), std::wstring::npos) << Narrow(said);
        EXPECT_NE(task->description.find(dest.Path() + c.taskSays), std::wstring::npos) << Narrow(task->description);
        // Under Wine the task never runs: the crontab line that does is shown and on the clipboard.
        if (!WineVersion())
            continue;
        const std::wstring line = TextOnClipboard();
        EXPECT_EQ(line.rfind(L"30 6 * * * WINEPREFIX=", 0), 0u) << Narrow(line);
        EXPECT_NE(line.find(L" /backup '" + dest.Path() + L"' /dated /keep 5"), std::wstring::npos) << Narrow(line);
        EXPECT_NE(said.find(line), std::wstring::npos) << Narrow(said);
    }
}
