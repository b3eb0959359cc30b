#include "backup/frmBackup.h"

#include "backup/FolderChooser.h"
#include "backup/clsBackup.h"
#include "engine/game/GameLocation.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/SetFolderCheck.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"
#include "runtime/Clipboard.h"
#include "runtime/MsgBox.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "schedule/DailySchedule.h"

namespace {

enum ControlId {
    IdText1 = 201, IdSelect, IdTxtPath, IdCommand1, IdCheck1, IdChkSGML, IdDaily, IdDailyAt, IdDailyKeep
};

// The finish panel, top to bottom: the verdict below the heading "Congratulations" (in
// the heading's place with room for two lines when there is nothing to congratulate);
// the advice to copy the folder, as one sentence around the path box, with the button
// beside its end; the offer of a daily backup; the note of where the data came from.
constexpr TwipsRect VerdictPlace{240, 1060, 5900, 280};
constexpr TwipsRect VerdictPlaceWithoutHeading{240, 780, 5900, 560};
constexpr TwipsRect RecommendPlace{600, 1380, 5295, 240};
constexpr TwipsRect PathBoxPlace{600, 1620, 5295, 480};
constexpr TwipsRect RemovablePlace{600, 2160, 4560, 440};
constexpr TwipsRect CopyButtonPlace{5280, 2130, 975, 495};
// The daily line's parts stand one after another, each as wide as its text.
constexpr TwipsRect DailyLinePlace{240, 2700, 6015, 300};
constexpr TwipsRect WhereNotePlace{600, 3120, 5655, 660};

constexpr COLORREF PathBoxGrey = RGB(224, 224, 224);
constexpr FontSpec Arial975{L"Arial", 9.75};
constexpr FontSpec Arial18{L"Arial", 18};
constexpr FontSpec Arial24{L"Arial", 24};

}  // namespace

const WizardRules BackupWizardRules = {
    {{
        {Btn::Keep, Btn::Keep, Btn::Keep, Btn::Keep},
        {Btn::On, Btn::On, Btn::Off, Btn::On},
        {Btn::On, Btn::On, Btn::Off, Btn::On},
        {Btn::Off, Btn::On, Btn::Off, Btn::Off},
        {Btn::Off, Btn::On, Btn::Off, Btn::Off},
        {Btn::Keep, Btn::Keep, Btn::Keep, Btn::Keep},
    }},
    /*yieldsInNext=*/true,
    /*finishRowOnLastStep=*/true,
    /*backDisablesAtStartAndYields=*/true,
    SmallArialFont,
};

frmBackup::frmBackup() : WizardFrame(BackupStep, BackupWizardRules) { Load(); }

void frmBackup::BuildPanels() {
    AddText(0, texts::BackupWelcome, {240, 240, 5900, 480}, Arial18);
    AddText(0, texts::BackupWelcomeSub, {240, 900, 5900, 300}, Arial975);
    AddDecorativeSquares(0, 240, 1500);
    AddText(0, texts::BackupWelcomeNext, {240, 3360, 5900, 300});

    AddStepHeading(1, texts::StepLabels[1]);
    AddText(1, texts::BackupStep1Text, {240, 720, 5900, 480});
    check1_ = AddControl(1, {nullptr, L"BUTTON", texts::BackupCheck1, BS_AUTOCHECKBOX | WS_TABSTOP,
                             {480, 1320, 4000, 300}, IdCheck1}, ArialFont);
    chkSGML_ = AddControl(1, {nullptr, L"BUTTON", texts::BackupChkSGML, BS_AUTOCHECKBOX | WS_TABSTOP,
                              {480, 1680, 4000, 300}, IdChkSGML}, ArialFont);
    AddText(1, texts::BackupContinue, {240, 3360, 5900, 300});

    AddStepHeading(2, texts::StepLabels[2]);
    AddText(2, texts::BackupStep2Text, {240, 720, 5900, 480});
    AddText(2, texts::BackupStep2Prompt, {840, 1440, 5000, 300});
    text1_ = AddControl(2, {nullptr, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, {840, 1800, 3375, 375},
                            IdText1, WS_EX_CLIENTEDGE}, DefaultFont);
    btnSelect_ = AddControl(2, {nullptr, L"BUTTON", texts::ButtonSelect, BS_PUSHBUTTON | WS_TABSTOP,
                                {4320, 1800, 1215, 375}, IdSelect}, DefaultFont);
    AddText(2, texts::BackupContinue, {240, 3360, 5900, 300});

    AddStepHeading(3, texts::StepLabels[3]);
    HWND copying = AddText(3, texts::BackupStep3Text, {240, 720, 5900, 300});
    AddText(3, texts::BackupCancelToQuit, {240, 3360, 5900, 300});
    AddProgressDisplay(3, copying);

    AddStepHeading(4, texts::StepLabels[4]);
    copying = AddText(4, texts::BackupStep4Text, {240, 720, 5900, 300});
    AddText(4, texts::BackupContinue, {240, 3360, 5900, 300});
    AddProgressDisplay(4, copying);

    AddText(5, texts::BackupFinishHead, {240, 120, 5000, 600}, Arial24);
    AddDecorativeSquares(5, 5520, 240);
    congratulations_ = AddText(5, texts::BackupCongratulations, {240, 780, 5900, 280}, Arial975);
    completeLabel_ = AddText(5, texts::BackupComplete, VerdictPlace, Arial975);
    recommend_ = AddText(5, texts::BackupRecommend, RecommendPlace);
    txtPath_ = AddControl(5, {nullptr, L"EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP,
                              PathBoxPlace, IdTxtPath}, SmallArialFont);
    fraSteps(5).SetControlBackground(txtPath_, PathBoxGrey);
    removable_ = AddText(5, texts::BackupRemovable, RemovablePlace);
    command1_ = AddControl(5, {nullptr, L"BUTTON", texts::BackupCopyToClipboard, BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP,
                               CopyButtonPlace, IdCommand1}, SmallArialFont);
    daily_ = AddControl(5, {nullptr, L"BUTTON", texts::DailyCheckBox, BS_AUTOCHECKBOX | WS_TABSTOP, DailyLinePlace,
                            IdDaily}, SmallArialFont);
    dailyAt_ = AddControl(5, {nullptr, L"EDIT", TimeOfDay{}.Text(), ES_AUTOHSCROLL | ES_CENTER | WS_BORDER | WS_TABSTOP,
                              DailyLinePlace, IdDailyAt, WS_EX_CLIENTEDGE}, SmallArialFont);
    dailyKeeping_ = AddText(5, texts::DailyKeeping, DailyLinePlace, SmallArialFont);
    dailyKeep_ = AddControl(5, {nullptr, L"EDIT", std::to_wstring(DefaultDailySetsKept),
                                ES_NUMBER | ES_CENTER | WS_BORDER | WS_TABSTOP, DailyLinePlace, IdDailyKeep,
                                WS_EX_CLIENTEDGE}, SmallArialFont);
    SendMessageW(dailyAt_, EM_SETLIMITTEXT, 5, 0);
    SendMessageW(dailyKeep_, EM_SETLIMITTEXT, 4, 0);
    PlaceDailyLine();
    whereNote_ = AddText(5, L"", WhereNotePlace, SmallArialFont);
    ShowWindow(whereNote_, SW_HIDE);
}

void frmBackup::PlaceDailyLine() {
    const int dpi = ScreenDpi();
    const int top = TwipsToPixels(DailyLinePlace.top, dpi);
    const int height = TwipsToPixels(DailyLinePlace.height, dpi);
    const int gap = TwipsToPixels(60, dpi);
    const int boxPadding = TwipsToPixels(240, dpi);
    // Labels sit lower than the boxes, level with the text inside them.
    const int labelDrop = TwipsToPixels(60, dpi);
    int left = TwipsToPixels(DailyLinePlace.left, dpi);
    auto place = [&](HWND control, int width, int drop) {
        SetWindowPos(control, nullptr, left, top + drop, width, height - drop, SWP_NOZORDER | SWP_NOACTIVATE);
        left += width + gap;
    };
    place(daily_, GetSystemMetrics(SM_CXMENUCHECK) + 3 * gap + TextWidth(daily_, texts::DailyCheckBox), 0);
    place(dailyAt_, TextWidth(dailyAt_, L"00:00") + boxPadding, 0);
    place(dailyKeeping_, TextWidth(dailyKeeping_, texts::DailyKeeping), labelDrop);
    place(dailyKeep_, TextWidth(dailyKeep_, L"0000") + boxPadding, 0);
}

bool frmBackup::CheckLeavingStep(short step) {
    if (step != 2)
        return true;
    // A full folder is used as typed: no trimming, a trailing "\" kept.
    std::wstring folder = GetText(text1_);
    if (folder.empty()) {
        MsgBox(texts::EnterPath);
        return false;
    }
    // A relative one means the current folder, which changes while the program runs and
    // between runs: the marker must record where the set really went.
    if (!IsFullPath(folder)) {
        folder = FullPath(folder);
        SetText(text1_, folder);
    }
    SetFolderCheck check = CheckSetFolder(folder, GameFolderOrUsual());
    if (!check.Ok()) {
        MsgBox(check.message);
        // What is not a folder at all is cleared for the next try.
        if (check.verdict == SetFolderVerdict::NotAFolder)
            SetText(text1_, L"");
        return false;
    }
    BackupLocation = folder;
    ShowVerdict(false);
    return true;
}

void frmBackup::AfterAdvance() {
    clsBackup(*this, BackupLocation).Backup();
    SetText(txtPath_, BackupLocation);
}

void frmBackup::ShowJobOutcome(const JobReport& report) {
    ShowVerdict(!report.Whole());
    std::wstring perUser =
        report.perUserCopy.empty() ? L"" : FillIn(texts::BackupUsedPerUserCopy, {report.perUserCopy});
    ShowWhereNote(report.Whole() ? FinishNote(report, texts::BackupFromGameFolder, perUser) : L"");
}

void frmBackup::ShowVerdict(bool incomplete) {
    setIncomplete_ = incomplete;
    SetText(completeLabel_, incomplete ? texts::BackupNotComplete : texts::BackupComplete);
    // No congratulations for a set that is not whole, no advice to keep a copy of it, and
    // no offer to make more like it.
    for (HWND praise : {congratulations_, recommend_, removable_, daily_, dailyAt_, dailyKeeping_, dailyKeep_})
        ShowWindow(praise, incomplete ? SW_HIDE : SW_SHOW);
    PlaceControl(completeLabel_, incomplete ? VerdictPlaceWithoutHeading : VerdictPlace);
}

void frmBackup::ShowWhereNote(const std::wstring& note) {
    SetText(whereNote_, note);
    ShowWindow(whereNote_, note.empty() ? SW_HIDE : SW_SHOW);
}

bool frmBackup::ReadyToFinish() {
    if (setIncomplete_ || SendMessageW(daily_, BM_GETCHECK, 0, 0) != BST_CHECKED)
        return true;
    return ScheduleDaily();
}

bool frmBackup::ScheduleDaily() {
    std::optional<TimeOfDay> at = TimeOfDay::Parse(GetText(dailyAt_));
    if (!at) {
        MsgBox(texts::DailyTimeInvalid, MsgButtons::Ok, MsgIcon::Exclamation);
        SetFocus(dailyAt_);
        return false;
    }
    std::optional<unsigned> keep = ParseSetsKept(GetText(dailyKeep_));
    if (!keep) {
        MsgBox(texts::DailyKeepInvalid, MsgButtons::Ok, MsgIcon::Exclamation);
        SetFocus(dailyKeep_);
        return false;
    }
    DailyBackup backup{ThisProgram(), BackupLocation, *at, *keep};
    DailySetup setup;
    try {
        setup = ScheduleDailyBackup(backup);
    } catch (const AppError& error) {
        // The player may uncheck the box and finish, or try again.
        MsgBox(FillIn(texts::DailyScheduleFailed, {error.Description()}), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (!setup.cronLine) {
        MsgBox(FillIn(texts::DailyScheduled, {backup.folder, at->Text(), std::to_wstring(*keep)}));
        return true;
    }
    bool onClipboard = PutTextOnClipboard(Hwnd(), *setup.cronLine);
    MsgBox(FillIn(onClipboard ? texts::DailyScheduledWine : texts::DailyScheduledWineNoClipboard,
                  {at->Text(), *setup.cronLine}));
    return true;
}

void frmBackup::btnSelect_Click() {
    FolderChooserRequest request{texts::ChooserTitle, texts::ChooserPrompt, L"c:\\test"};
    if (auto chosen = ChooseFolder(Hwnd(), request))
        BackupLocation = *chosen;
    // After a cancel an earlier pick comes back into the box.
    if (BackupLocation.empty())
        return;
    BackupLocation = Trim(BackupLocation);
    SetText(text1_, BackupLocation);
}

void frmBackup::Command1_Click() {
    if (!PutTextOnClipboard(Hwnd(), GetText(txtPath_))) {
        MsgBox(texts::ClipboardBusy);
        return;
    }
    MsgBox(texts::PathCopied);
}

void frmBackup::OnControlCommand(int id, int code) {
    if (code != BN_CLICKED)
        return;
    if (id == IdSelect)
        btnSelect_Click();
    else if (id == IdCommand1)
        Command1_Click();
}
