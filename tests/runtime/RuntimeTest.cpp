#include <windows.h>

#include "TestSupport.h"
#include "runtime/AppError.h"
#include "runtime/DoEvents.h"
#include "runtime/EndProgram.h"
#include "runtime/EventGuard.h"
#include "runtime/MousePointer.h"
#include "runtime/MsgBox.h"

TEST(MsgBox, UntitledBoxShowsProgramTitle) {
    MsgBoxRecorder boxes;
    MsgBox(L"hello");
    MsgBox(L"warn", MsgButtons::Ok, MsgIcon::Exclamation, L"Own Title");
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_EQ(boxes.Calls()[0].title, L"Backup Tarnwick");
    EXPECT_EQ(boxes.Calls()[0].icon, MsgIcon::None);
    EXPECT_EQ(boxes.Calls()[1].title, L"Own Title");
    EXPECT_EQ(boxes.Calls()[1].icon, MsgIcon::Exclamation);
}

TEST(MsgBox, QueuedAnswersComeBackInOrder) {
    MsgBoxRecorder boxes;
    boxes.QueueAnswer(MsgResult::No);
    EXPECT_EQ(MsgBox(L"q1", MsgButtons::YesNo), MsgResult::No);
    EXPECT_EQ(MsgBox(L"q2", MsgButtons::YesNo), MsgResult::Yes);
}

TEST(DoEvents, RunsPendingMessagesAndCounts) {
    static int timerRuns = 0;
    timerRuns = 0;
    UINT_PTR id = SetTimer(nullptr, 0, 1, [](HWND, UINT, UINT_PTR, DWORD) { ++timerRuns; });
    Sleep(20);
    long before = YieldCount();
    DoEvents();
    KillTimer(nullptr, id);
    EXPECT_EQ(YieldCount(), before + 1);
    EXPECT_GE(timerRuns, 1);
}

TEST(DoEvents, HookRunsAtEveryYield) {
    int seen = 0;
    auto previous = SetYieldHook([&] { ++seen; });
    DoEvents();
    DoEvents();
    SetYieldHook(previous);
    EXPECT_EQ(seen, 2);
}

TEST(MousePointer, HourglassScopeRestoresDefault) {
    {
        HourglassScope busy;
        EXPECT_EQ(CurrentMousePointer(), MousePointer::Hourglass);
        EXPECT_TRUE(ApplyMousePointer());
    }
    EXPECT_EQ(CurrentMousePointer(), MousePointer::Default);
    EXPECT_FALSE(ApplyMousePointer());
}

TEST(AppError, CarriesPlatformNumberAndText) {
    AppError e = AppError::FromWin32(ERROR_PATH_NOT_FOUND, L"MkDir");
    EXPECT_EQ(e.Number(), 3);
    EXPECT_EQ(e.Source(), L"MkDir");
    EXPECT_FALSE(e.Description().empty());
    EXPECT_NE(e.Description().back(), L'\n');
}

TEST(UnhandledFailure, ReportsNumberAndTextThenEnds) {
    MsgBoxRecorder boxes;
    EXPECT_THROW(RunEventHandler([] { throw AppError(76, L"clsFileSystem", L"Path not found"); }), ProgramEnded);
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, L"Run-time error '76':\n\nPath not found");
    EXPECT_EQ(boxes.Calls()[0].title, L"Backup Tarnwick");
}

TEST(UnhandledFailure, HandlerWithoutFailureRunsThrough) {
    bool ran = false;
    RunEventHandler([&] { ran = true; });
    EXPECT_TRUE(ran);
}

TEST(EndProgram, EndIsObservableInTests) { EXPECT_THROW(EndProgram(), ProgramEnded); }
