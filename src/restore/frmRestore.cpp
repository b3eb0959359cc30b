#include "restore/frmRestore.h"

#include "engine/game/GameLayout.h"
#include "engine/game/GameLocation.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/MarkerCheck.h"
#include "files/FullPath.h"
#include "files/MFile.h"
#include "files/PerUserCopy.h"
#include "restore/ChooseFilesWindow.h"
#include "restore/MarkerFolderSetting.h"
#include "restore/RestoreElevation.h"
#include "restore/clsRestore.h"
#include "runtime/AppError.h"
#include "runtime/MousePointer.h"
#include "runtime/MsgBox.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

enum ControlId { IdText1 = 201, IdSelect, IdChoose, IdSets };

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
    lblSets_ = AddText(1, texts::RestoreOtherDays, {240, 2340, 1200, 300});
    cboSets_ = AddControl(1, {nullptr, L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP,
                              {1440, 2280, 3255, 2400}, IdSets}, DefaultFont);
    btnChoose_ = AddControl(1, {nullptr, L"BUTTON", texts::ButtonChooseFiles, BS_PUSHBUTTON | WS_TABSTOP,
                                {4800, 2280, 1215, 375}, IdChoose}, DefaultFont);
    choiceLabel_ = AddText(1, L"", {240, 2760, 5900, 300});
    ShowWindow(lblSets_, SW_HIDE);
    ShowWindow(cboSets_, SW_HIDE);

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
    MarkerCheck check = CheckTypedMarker();
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
    if (picked_ && picked_->empty()) {
        MsgBox(texts::RestoreNothingChosen);
        return false;
    }
    BackupLocation = check.location;
    ShowVerdict(false);
    // The dialog starts next time where this marker lies.
    RememberMarkerFolder(GetText(text1_));
    return true;
}

MarkerCheck frmRestore::CheckTypedMarker() {
    // A typed relative path means the current folder; the settings-file functions would
    // look for it in the Windows folder instead.
    if (!GetText(text1_).empty() && !IsFullPath(GetText(text1_)))
        SetText(text1_, FullPath(GetText(text1_)));
    return CheckMarker(GetText(text1_));
}

void frmRestore::AfterAdvance() {
    if (RestoreStep == 2)
        clsRestore(*this, BackupLocation, Choice()).Restore();
}

void frmRestore::ShowJobOutcome(const JobReport& report) {
    ShowVerdict(!report.Whole());
    std::wstring safety = FillIn(texts::RestoreFilesRestored, {FilesCounted(report.filesCopied)});
    if (!report.safetyMarker.empty())
        safety += L" " + FillIn(texts::RestoreSafetySetKept, {report.safetyMarker});
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
    if (id == IdChoose && code == BN_CLICKED)
        btnChoose_Click();
    if (id == IdText1 && code == EN_CHANGE)
        MarkerChanged();
    if (id == IdSets && code == CBN_SELCHANGE)
        cboSets_Click(static_cast<int>(SendMessageW(cboSets_, CB_GETCURSEL, 0, 0)));
}

RestoreChoice frmRestore::Choice() const { return picked_ ? RestoreChoice(*picked_) : RestoreChoice(); }

void frmRestore::MarkerChanged() {
    picked_.reset();
    SetText(choiceLabel_, L"");
    if (settingMarker_)
        return;
    // Where the marker lies in a dated set's folder, the sets beside it are offered.
    const std::wstring marker = GetText(text1_);
    const size_t cut = marker.find_last_of(L'\\');
    const std::wstring setFolder = cut == std::wstring::npos ? std::wstring() : marker.substr(0, cut);
    const size_t up = setFolder.find_last_of(L'\\');
    daySets_.clear();
    if (up != std::wstring::npos && IsDatedSetName(setFolder.substr(up + 1))) {
        std::vector<DatedSet> sets;
        try {
            sets = DatedSets(setFolder.substr(0, up));
        } catch (const AppError&) {
            // A folder that cannot be listed offers no other days.
        }
        daySets_.assign(sets.rbegin(), sets.rend());
    }
    SendMessageW(cboSets_, CB_RESETCONTENT, 0, 0);
    for (size_t i = 0; i < daySets_.size(); ++i) {
        SendMessageW(cboSets_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(daySets_[i].name.c_str()));
        if (IsSameOrInsideFolder(daySets_[i].folder, setFolder) && IsSameOrInsideFolder(setFolder, daySets_[i].folder))
            SendMessageW(cboSets_, CB_SETCURSEL, i, 0);
    }
    const int show = daySets_.empty() ? SW_HIDE : SW_SHOW;
    ShowWindow(lblSets_, show);
    ShowWindow(cboSets_, show);
}

void frmRestore::cboSets_Click(int index) {
    if (index < 0 || static_cast<size_t>(index) >= daySets_.size())
        return;
    const std::vector<DatedSet> sets = daySets_;
    settingMarker_ = true;
    SetText(text1_, sets[static_cast<size_t>(index)].marker);
    settingMarker_ = false;
    SendMessageW(cboSets_, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void frmRestore::btnChoose_Click() {
    MarkerCheck check = CheckTypedMarker();
    if (!check.Ok()) {
        MsgBox(check.message);
        return;
    }
    const std::wstring game = FindGameFolder();
    if (game.empty()) {
        MsgBox(FillIn(texts::RestoreNoGameFolderFound, {game::Folder}));
        return;
    }
    RestorePreview preview;
    {
        HourglassScope busy;
        QuietJobEvents quiet;
        preview = RestoreJob(game, check.location, ExistingPerUserCopy(game)).Preview(quiet);
    }
    if (!preview.report.Whole()) {
        MsgBox(DescribeJobProblems(preview.report, JobKind::Restore, check.location), MsgButtons::Ok, MsgIcon::Exclamation);
        return;
    }
    if (preview.changes.empty()) {
        MsgBox(texts::RestoreNothingToChoose);
        return;
    }
    std::optional<std::vector<bool>> ticks = ChooseFilesToRestore(Hwnd(), preview.changes);
    if (!ticks)
        return;
    std::vector<DataName> picked;
    for (size_t row = 0; row < preview.changes.size() && row < ticks->size(); ++row) {
        if (!(*ticks)[row])
            continue;
        // The names are the walk's own, each a valid name of the game's data.
        if (std::optional<DataName> name = DataName::Parse(preview.changes[row].name))
            picked.push_back(std::move(*name));
    }
    // Every row ticked is the whole restore.
    const size_t chosen = picked.size();
    picked_ = chosen == preview.changes.size() ? std::nullopt : std::optional(std::move(picked));
    SetText(choiceLabel_, FillIn(texts::RestoreChosenCount, {std::to_wstring(chosen), std::to_wstring(preview.changes.size())}));
}
