#include "restore/frmRestore.h"

#include "engine/jobs/JobDescription.h"
#include "engine/sets/MarkerCheck.h"
#include "files/FullPath.h"
#include "files/MFile.h"
#include "restore/MarkerFolderSetting.h"
#include "restore/RestoreElevation.h"
#include "restore/clsRestore.h"
#include "runtime/MsgBox.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

enum ControlId { IdText1 = 201, IdSelect };

constexpr FontSpec Arial18{L"Arial", 18};
constexpr FontSpec Arial24{L"Arial", 24};
constexpr FontSpec Arial975{L"Arial", 9.75};

}  // namespace

const WizardRules RestoreWizardRules = {
    {{
        {Btn::Off, Btn::On, Btn::Off, Btn::On},
        {Btn::On, Btn::On, Btn::Off, Btn::On},
        {Btn::Off, Btn::On, Btn::Off, Btn::Off},
        {Btn::Off, Btn::On, Btn::Off, Btn::Off},
        {Btn::Off, Btn::Off, Btn::On, Btn::Off},
        {Btn::Keep, Btn::Keep, Btn::Keep, Btn::Keep},
    }},
    /*yieldsInNext=*/false,
    /*finishRowOnLastStep=*/false,
    /*backDisablesAtStartAndYields=*/false,
    DefaultFont,
};

frmRestore::frmRestore() : WizardFrame(RestoreStep, RestoreWizardRules) { Load(); }

void frmRestore::BuildPanels() {
    AddText(0, texts::RestoreWelcome, {240, 240, 5900, 480}, Arial18);
    AddText(0, texts::RestoreWelcomeText, {240, 960, 5900, 480}, Arial975);

    AddStepHeading(1, texts::StepLabels[1]);
    AddText(1, texts::RestoreSelectPrompt, {240, 1440, 5900, 300});
    text1_ = AddControl(1, {nullptr, L"EDIT", L"", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, {240, 1800, 4455, 375},
                            IdText1, WS_EX_CLIENTEDGE}, DefaultFont);
    btnSelect_ = AddControl(1, {nullptr, L"BUTTON", texts::ButtonSelect, BS_PUSHBUTTON | WS_TABSTOP,
                                {4800, 1800, 1215, 375}, IdSelect}, DefaultFont);

    AddStepHeading(2, texts::StepLabels[2]);
    AddText(2, texts::RestoreStep2Text, {240, 720, 5900, 300});
    AddStepHeading(3, texts::StepLabels[3]);
    AddProgressDisplay(3, AddText(3, texts::RestoreStep3Text, {240, 720, 5900, 300}));
    AddStepHeading(4, texts::StepLabels[4]);
    AddProgressDisplay(4, AddText(4, texts::RestoreStep4Text, {240, 720, 5900, 300}));

    congratulations_ = AddText(5, texts::RestoreCongratulations, {240, 240, 5900, 300}, Arial975);
    AddText(5, texts::RestoreFinishHead, {240, 600, 5900, 600}, Arial24);
    doneLabel_ = AddText(5, texts::RestoreDone, {240, 1500, 5900, 480});
    safetyLabel_ = AddText(5, L"", {240, 2040, 5900, 1200});
    AddText(5, texts::RestoreClickFinish, {240, 3360, 5900, 300});
}

bool frmRestore::CheckLeavingStep(short step) {
    if (step != 1)
        return true;
    // A typed relative path means the current folder; the settings-file functions would
    // look for it in the Windows folder instead.
    if (!GetText(text1_).empty() && !IsFullPath(GetText(text1_)))
        SetText(text1_, FullPath(GetText(text1_)));
    MarkerCheck check = CheckMarker(GetText(text1_));
    if (!check.Ok()) {
        MsgBox(check.message);
        // A file that is not there or not a marker at all is cleared for the next try.
        if (check.verdict == MarkerVerdict::Missing || check.verdict == MarkerVerdict::NotBak)
            SetText(text1_, L"");
        return false;
    }
    // Asked here, before any copy starts: the restart with the rights takes the marker along.
    if (!ConfirmRightsForRestore(Hwnd(), GetText(text1_)))
        return false;
    BackupLocation = check.location;
    ShowVerdict(false);
    // The dialog starts next time where this marker lies.
    RememberMarkerFolder(GetText(text1_));
    return true;
}

void frmRestore::AfterAdvance() {
    if (RestoreStep == 2)
        clsRestore(*this, BackupLocation).Restore();
}

void frmRestore::ShowJobOutcome(const JobReport& report) {
    ShowVerdict(!report.Whole());
    std::wstring safety = report.safetyMarker.empty() ? L"" : FillIn(texts::RestoreSafetySetKept, {report.safetyMarker});
    if (std::wstring notes = DescribeRestoreNotes(report); !notes.empty())
        safety += L"\n" + notes;
    SetText(safetyLabel_, report.Whole() ? FinishNote(report, texts::RestoreIntoGameFolder, safety) : L"");
}

void frmRestore::ShowVerdict(bool incomplete) {
    restoreIncomplete_ = incomplete;
    SetText(doneLabel_, incomplete ? texts::RestoreNotComplete : texts::RestoreDone);
    // No congratulations for a restore that is not whole.
    ShowWindow(congratulations_, incomplete ? SW_HIDE : SW_SHOW);
}

void frmRestore::OpenOnMarker(const std::wstring& marker) {
    cmdNext_Click();
    SetText(text1_, marker);
}

void frmRestore::btnSelect_Click() {
    // After Cancel or a failed dialog the empty text empties the box too.
    SetText(text1_, ShowOpenDialog(texts::OpenDialogTitle, texts::OpenDialogFilter, OpenDialogStartFolder()));
}

void frmRestore::ShowFinishedCreatingDocument() {
    MsgBox(texts::FinishedCreatingDocument, MsgButtons::Ok, MsgIcon::None, texts::FinishedTitle);
}

void frmRestore::OnControlCommand(int id, int code) {
    if (id == IdSelect && code == BN_CLICKED)
        btnSelect_Click();
}
