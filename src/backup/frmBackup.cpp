#include "backup/frmBackup.h"

#include "backup/FolderChooser.h"
#include "backup/clsBackup.h"
#include "engine/BackupMarker.h"
#include "engine/GameLocation.h"
#include "engine/SetFolderCheck.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "runtime/Clipboard.h"
#include "runtime/MsgBox.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

enum ControlId { IdText1 = 201, IdSelect, IdTxtPath, IdCommand1, IdCheck1, IdChkSGML };

// The finish panel's verdict below the heading "Congratulations", and in the heading's
// place with room for two lines when there is nothing to congratulate.
constexpr TwipsRect VerdictPlace{240, 1060, 5900, 280};
constexpr TwipsRect VerdictPlaceWithoutHeading{240, 780, 5900, 560};
constexpr TwipsRect PathBoxPlace{600, 1680, 5295, 1455};
constexpr TwipsRect PathBoxBesideNote{600, 1680, 5295, 720};
constexpr TwipsRect WhereNotePlace{600, 2460, 5295, 680};

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
    AddText(3, texts::BackupStep3Text, {240, 720, 5900, 300});
    AddText(3, texts::BackupCancelToQuit, {240, 3360, 5900, 300});
    AddProgressDisplay(3);

    AddStepHeading(4, texts::StepLabels[4]);
    AddText(4, texts::BackupStep4Text, {240, 720, 5900, 300});
    AddText(4, texts::BackupContinue, {240, 3360, 5900, 300});
    AddProgressDisplay(4);

    AddText(5, texts::BackupFinishHead, {240, 120, 5000, 600}, Arial24);
    AddDecorativeSquares(5, 5520, 240);
    congratulations_ = AddText(5, texts::BackupCongratulations, {240, 780, 5900, 280}, Arial975);
    completeLabel_ = AddText(5, texts::BackupComplete, VerdictPlace, Arial975);
    recommend_ = AddText(5, texts::BackupRecommend, {600, 1420, 5295, 240});
    txtPath_ = AddControl(5, {nullptr, L"EDIT", L"", ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP,
                              PathBoxPlace, IdTxtPath}, SmallArialFont);
    whereNote_ = AddText(5, L"", WhereNotePlace, SmallArialFont);
    ShowWindow(whereNote_, SW_HIDE);
    fraSteps(5).SetControlBackground(txtPath_, PathBoxGrey);
    removable_ = AddText(5, texts::BackupRemovable, {600, 3200, 4560, 480});
    command1_ = AddControl(5, {nullptr, L"BUTTON", texts::BackupCopyToClipboard, BS_PUSHBUTTON | BS_MULTILINE | WS_TABSTOP,
                               {5280, 3240, 975, 495}, IdCommand1}, SmallArialFont);
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
    // No congratulations for a set that is not whole, and no advice to keep a copy of it.
    for (HWND praise : {congratulations_, recommend_, removable_})
        ShowWindow(praise, incomplete ? SW_HIDE : SW_SHOW);
    PlaceControl(completeLabel_, incomplete ? VerdictPlaceWithoutHeading : VerdictPlace);
}

void frmBackup::ShowWhereNote(const std::wstring& note) {
    // The path box gives up its empty lower part to the note.
    bool show = !note.empty();
    SetText(whereNote_, note);
    ShowWindow(whereNote_, show ? SW_SHOW : SW_HIDE);
    PlaceControl(txtPath_, show ? PathBoxBesideNote : PathBoxPlace);
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
