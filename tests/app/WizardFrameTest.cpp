#include <functional>

#include "TestSupport.h"
#include "Windows.h"
#include "backup/frmBackup.h"
#include "restore/frmRestore.h"
#include "runtime/DoEvents.h"
#include "ui/Controls.h"
#include "ui/WizardFrame.h"

namespace {

// The shared frame with one wizard's rules, and checks and engine a test can script.
class TestWizard : public WizardFrame {
public:
    TestWizard(short& counter, const WizardRules& rules) : WizardFrame(counter, rules) { Load(); }
    std::function<bool(short)> check = [](short) { return true; };
    std::function<void()> afterAdvance = [] {};

private:
    void BuildPanels() override {}
    bool CheckLeavingStep(short step) override { return check(step); }
    void AfterAdvance() override { afterAdvance(); }
    void OnControlCommand(int, int) override {}
};

struct WizardKind {
    const char* name;
    const WizardRules* rules;
};

class FrameTest : public testing::Test {
protected:
    void TearDown() override { UnloadAllWindows(); }
    short counter = 0;
};

void SetAll(WizardFrame& w, bool enabled) { w.ApplyRow(enabled ? ButtonRow{Btn::On, Btn::On, Btn::On, Btn::On}
                                                                : ButtonRow{Btn::Off, Btn::Off, Btn::Off, Btn::Off}); }

// Expected state after the row: 1 on, 0 off, -1 as it was.
struct RowCase {
    short stepLeft;
    int back, cancel, finish, next;
};

ButtonStates Expect(const RowCase& row, bool before) {
    auto pick = [&](int v) { return v < 0 ? before : v == 1; };
    return {pick(row.back), pick(row.cancel), pick(row.finish), pick(row.next)};
}

}  // namespace

TEST_F(FrameTest, LoadShowsStartPanelAndIndicator) {
    TestWizard w(counter, BackupWizardRules);
    EXPECT_EQ(w.Step(), 0);
    EXPECT_EQ(w.FrontPanel(), 0);
    EXPECT_EQ(StatesOf(w), (ButtonStates{false, true, false, true}));
    EXPECT_EQ(w.shpStepsColor(0), RGB(0, 255, 0));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(w.shpStepsColor(i), RGB(128, 128, 128)) << i;
    EXPECT_EQ(w.shpStepsColor(5), RGB(255, 0, 0));
    EXPECT_TRUE(IsBold(w.lblSteps(0)));
    for (int i = 1; i <= 5; ++i)
        EXPECT_FALSE(IsBold(w.lblSteps(i))) << i;
    const wchar_t* labels[] = {L"Start", L"Step 1", L"Step 2", L"Step 3", L"Step 4", L"Finish"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(GetText(w.lblSteps(i)), labels[i]);
    EXPECT_EQ(GetText(w.cmdBack()), L"< &Back");
    EXPECT_EQ(GetText(w.cmdNext()), L"&Next >");
    EXPECT_EQ(GetText(w.cmdFinish()), L"&Finish");
    EXPECT_EQ(GetText(w.cmdCancel()), L"Cancel");
}

TEST_F(FrameTest, PanelsAlternateWhiteAndGrey) {
    TestWizard w(counter, RestoreWizardRules);
    EXPECT_EQ(w.fraSteps(0).Background(), RGB(255, 255, 255));
    EXPECT_EQ(w.fraSteps(5).Background(), RGB(255, 255, 255));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(w.fraSteps(i).Background(), RGB(192, 192, 192));
}

TEST_F(FrameTest, NextRowsOfTheBackupWizard) {
    const RowCase rows[] = {
        {0, -1, -1, -1, -1}, {1, 1, 1, 0, 1}, {2, 1, 1, 0, 1}, {3, 0, 1, 0, 0},
        // Leaving step 4 reaches the finish panel, which leaves Finish and Cancel on.
        {4, 0, 1, 1, 0},
    };
    for (bool before : {true, false}) {
        for (const auto& row : rows) {
            TestWizard w(counter, BackupWizardRules);
            counter = row.stepLeft;
            SetAll(w, before);
            w.cmdNext_Click();
            EXPECT_EQ(StatesOf(w), Expect(row, before)) << "step left " << row.stepLeft << " from " << before;
            EXPECT_EQ(counter, row.stepLeft + 1);
            EXPECT_EQ(w.FrontPanel(), row.stepLeft + 1);
        }
    }
}

TEST_F(FrameTest, NextRowsOfTheRestoreWizard) {
    const RowCase rows[] = {
        {0, 0, 1, 0, 1}, {1, 1, 1, 0, 1}, {2, 0, 1, 0, 0}, {3, 0, 1, 0, 0}, {4, 0, 0, 1, 0}, {5, -1, -1, -1, -1},
    };
    for (bool before : {true, false}) {
        for (const auto& row : rows) {
            TestWizard w(counter, RestoreWizardRules);
            counter = row.stepLeft;
            SetAll(w, before);
            w.cmdNext_Click();
            EXPECT_EQ(StatesOf(w), Expect(row, before)) << "step left " << row.stepLeft << " from " << before;
        }
    }
}

TEST_F(FrameTest, BackRowsOfBothWizards) {
    const RowCase rows[] = {
        {1, 0, 1, 0, 1}, {2, 1, 1, 0, 1}, {3, 0, 1, 0, 0}, {4, 0, 1, 0, 0}, {5, -1, -1, -1, -1},
    };
    for (const WizardKind& kind : {WizardKind{"backup", &BackupWizardRules}, WizardKind{"restore", &RestoreWizardRules}}) {
        for (bool before : {true, false}) {
            for (const auto& row : rows) {
                TestWizard w(counter, *kind.rules);
                counter = row.stepLeft;
                SetAll(w, before);
                w.cmdBack_Click();
                EXPECT_EQ(StatesOf(w), Expect(row, before)) << kind.name << " step left " << row.stepLeft;
                EXPECT_EQ(counter, row.stepLeft - 1);
                EXPECT_EQ(w.FrontPanel(), row.stepLeft - 1);
            }
        }
    }
}

TEST_F(FrameTest, ShowStepMovesColoursAndBold) {
    TestWizard w(counter, BackupWizardRules);
    w.ShowStep(0, 1);
    EXPECT_EQ(w.shpStepsColor(0), RGB(128, 128, 128));
    EXPECT_EQ(w.shpStepsColor(1), RGB(0, 255, 0));
    EXPECT_FALSE(IsBold(w.lblSteps(0)));
    EXPECT_TRUE(IsBold(w.lblSteps(1)));
    w.ShowStep(1, 5);
    EXPECT_EQ(w.shpStepsColor(5), RGB(0, 255, 0));
    EXPECT_TRUE(IsBold(w.lblSteps(5)));
    // Leaving the finish step turns its marker red again, never grey.
    w.ShowStep(5, 4);
    EXPECT_EQ(w.shpStepsColor(5), RGB(255, 0, 0));
    EXPECT_FALSE(IsBold(w.lblSteps(5)));
    EXPECT_TRUE(IsBold(w.lblSteps(4)));
}

TEST_F(FrameTest, CounterStaysWithinZeroToFive) {
    TestWizard w(counter, RestoreWizardRules);
    w.cmdBack_Click();
    EXPECT_EQ(counter, 0);
    EXPECT_EQ(w.FrontPanel(), 0);
    for (int i = 0; i < 8; ++i)
        w.cmdNext_Click();
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(w.FrontPanel(), 5);
    EXPECT_EQ(w.shpStepsColor(5), RGB(0, 255, 0));
    EXPECT_EQ(w.shpStepsColor(4), RGB(128, 128, 128));
}

TEST_F(FrameTest, FailedCheckStaysOnTheStep) {
    TestWizard w(counter, RestoreWizardRules);
    w.check = [](short step) { return step != 1; };
    w.cmdNext_Click();
    w.cmdNext_Click();
    EXPECT_EQ(counter, 1);
    EXPECT_EQ(w.FrontPanel(), 1);
    EXPECT_TRUE(IsBold(w.lblSteps(1)));
    EXPECT_EQ(StatesOf(w), (ButtonStates{true, true, false, true}));
}

TEST_F(FrameTest, NextReenteredFromInsideNext) {
    // As the engines do: the advance to step 3 calls Next twice more before returning.
    TestWizard w(counter, BackupWizardRules);
    int advances = 0;
    w.afterAdvance = [&] {
        ++advances;
        if (counter == 3) {
            w.cmdNext_Click();
            w.cmdNext_Click();
        }
    };
    w.cmdNext_Click();
    w.cmdNext_Click();
    w.cmdNext_Click();
    EXPECT_EQ(advances, 5);
    EXPECT_EQ(counter, 5);
    EXPECT_EQ(w.FrontPanel(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(w.shpStepsColor(i), RGB(0, 255, 0)) << i;
    EXPECT_EQ(w.shpStepsColor(5), RGB(0, 255, 0));
    EXPECT_EQ(StatesOf(w), (ButtonStates{false, true, true, false}));
}

TEST_F(FrameTest, BackupYieldsBeforeItsCheck) {
    TestWizard w(counter, BackupWizardRules);
    long yieldsAtCheck = -1;
    long start = YieldCount();
    w.check = [&](short) {
        yieldsAtCheck = YieldCount() - start;
        return true;
    };
    counter = 2;
    w.cmdNext_Click();
    EXPECT_EQ(yieldsAtCheck, 6);
    start = YieldCount();
    w.cmdNext_Click();  // leaving step 3: only the three yields for every step
    EXPECT_EQ(yieldsAtCheck, 3);
}

TEST_F(FrameTest, RestoreNeverYields) {
    TestWizard w(counter, RestoreWizardRules);
    long start = YieldCount();
    w.cmdNext_Click();
    w.cmdNext_Click();
    w.cmdBack_Click();
    EXPECT_EQ(YieldCount(), start);
}

TEST_F(FrameTest, BackupBackToStartDisablesBack) {
    TestWizard w(counter, BackupWizardRules);
    w.cmdNext_Click();
    EXPECT_FALSE(IsEnabled(w.cmdBack()));  // step 1 reached from step 0
    w.cmdNext_Click();
    EXPECT_TRUE(IsEnabled(w.cmdBack()));
    long start = YieldCount();
    w.cmdBack_Click();
    EXPECT_EQ(YieldCount(), start + 3);
    EXPECT_TRUE(IsEnabled(w.cmdBack()));  // back on step 1 from step 2
    w.cmdBack_Click();
    EXPECT_EQ(counter, 0);
    EXPECT_FALSE(IsEnabled(w.cmdBack()));
    EXPECT_EQ(w.shpStepsColor(1), RGB(128, 128, 128));
    EXPECT_EQ(w.shpStepsColor(0), RGB(0, 255, 0));
    EXPECT_TRUE(IsBold(w.lblSteps(0)));
}

TEST_F(FrameTest, CancelFinishAndCloseBoxEndTheProgram) {
    TestWizard w(counter, RestoreWizardRules);
    EXPECT_THROW(w.cmdCancel_Click(), ProgramEnded);
    EXPECT_THROW(w.cmdFinish_Click(), ProgramEnded);
    EXPECT_THROW(SendMessageW(w.Hwnd(), WM_CLOSE, 0, 0), ProgramEnded);
}

TEST_F(FrameTest, OnlyTheFrontPanelIsVisible) {
    TestWizard w(counter, BackupWizardRules);
    w.cmdNext_Click();
    w.cmdNext_Click();
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ((GetWindowLongW(w.fraSteps(i).Hwnd(), GWL_STYLE) & WS_VISIBLE) != 0, i == 2) << i;
}

TEST_F(FrameTest, LayoutFollowsTheScreenDpi) {
    TestWizard w(counter, BackupWizardRules);
    RECT client;
    GetClientRect(w.Hwnd(), &client);
    int dpi = ScreenDpi();
    EXPECT_EQ(client.right, TwipsToPixels(8490, dpi));
    EXPECT_EQ(client.bottom, TwipsToPixels(4590, dpi));
    RECT next;
    GetWindowRect(w.cmdNext(), &next);
    MapWindowPoints(nullptr, w.Hwnd(), reinterpret_cast<POINT*>(&next), 2);
    EXPECT_EQ(next.left, TwipsToPixels(6000, dpi));
    EXPECT_EQ(next.top, TwipsToPixels(4080, dpi));
}

TEST_F(FrameTest, TwoClicksAtOnceCheckTheStepTheWizardIsOn) {
    // The second click runs inside the first one's yields (backup) or after it (restore);
    // every check must be that of the step on screen at that moment, and a click queued
    // before Next was disabled no longer counts.
    struct Case {
        const char* name;
        const WizardRules* rules;
        short from;
        short to;
    } cases[] = {
        {"backup", &BackupWizardRules, 0, 2}, {"backup", &BackupWizardRules, 1, 3},
        {"backup", &BackupWizardRules, 2, 4}, {"backup", &BackupWizardRules, 3, 4},
        {"backup", &BackupWizardRules, 4, 5}, {"backup", &BackupWizardRules, 5, 5},
        {"restore", &RestoreWizardRules, 0, 2}, {"restore", &RestoreWizardRules, 1, 3},
        {"restore", &RestoreWizardRules, 2, 3}, {"restore", &RestoreWizardRules, 3, 4},
        {"restore", &RestoreWizardRules, 4, 5}, {"restore", &RestoreWizardRules, 5, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " from step " + std::to_string(c.from));
        TestWizard w(counter, *c.rules);
        counter = c.from;
        int checks = 0;
        w.check = [&](short step) {
            ++checks;
            EXPECT_EQ(step, counter) << "check of another step than the one shown";
            return true;
        };
        PostTwoClicksAndHandleThem(w.cmdNext());
        EXPECT_EQ(counter, c.to);
        EXPECT_EQ(w.FrontPanel(), c.to);
        EXPECT_GE(checks, 1);
    }
}

TEST_F(FrameTest, ClicksOfDisabledButtonsAreIgnored) {
    TestWizard w(counter, BackupWizardRules);
    counter = 2;
    SetAll(w, false);
    for (HWND button : {w.cmdCancel(), w.cmdBack(), w.cmdNext(), w.cmdFinish()})
        EXPECT_NO_THROW(PostTwoClicksAndHandleThem(button)) << "the program ended";
    EXPECT_EQ(counter, 2);
    EXPECT_EQ(w.FrontPanel(), 0);
}
