#pragma once
// The restore wizard: welcome, the choice of a backup set's marker file, three
// panels while the engine copies the set back, and the finish panel.

#include <optional>
#include <vector>

#include "engine/input/DataName.h"
#include "engine/jobs/RestoreChoice.h"
#include "engine/sets/DatedSets.h"
#include "engine/sets/MarkerCheck.h"
#include "ui/SingleInstance.h"
#include "ui/WizardFrame.h"
#include "backup/JobWizard.h"

// The restore wizard's button rows and switches on the shared frame.
extern const WizardRules RestoreWizardRules;

class frmRestore : public WizardFrame, public JobWizard, public SingleInstance<frmRestore> {
public:
    frmRestore();  // use Instance(): one restore wizard per process

    void btnSelect_Click();  // "Select": the open-file dialog
    // "Choose files...": what the restore would change, for the player to tick.
    void btnChoose_Click();
    // The drop-down of the sets of other days: the marker of the one at index.
    void cboSets_Click(int index);
    // Moves on to the choice of the marker file, with marker in its box (a restart with
    // administrator rights comes back here).
    void OpenOnMarker(const std::wstring& marker);
    // Not reached by any flow; kept as an operation of the window.
    void ShowFinishedCreatingDocument();

    HWND Label12() const { return doneLabel_; }
    HWND SafetySetLabel() const { return safetyLabel_; }
    HWND Label6() const { return congratulations_; }

    short RestoreStep = 0;

    WizardFrame& Frame() override { return *this; }
    // The finish panel says whether everything was copied back.
    void ShowJobOutcome(const JobReport& report) override;
    bool RestoreIncomplete() const { return restoreIncomplete_; }

    HWND text1() const { return text1_; }
    HWND btnSelect() const { return btnSelect_; }
    HWND btnChoose() const { return btnChoose_; }
    HWND cboSets() const { return cboSets_; }
    HWND ChoiceLabel() const { return choiceLabel_; }
    // What the next restore takes: everything unless the player narrowed it.
    RestoreChoice Choice() const;

private:
    void BuildPanels() override;
    bool CheckLeavingStep(short step) override;
    void ShowVerdict(bool incomplete);
    void AfterAdvance() override;
    void OnControlCommand(int id, int code) override;
    // Another marker in the box: the choice goes, and the sets of other days are those beside it.
    void MarkerChanged();
    // The marker in the box (made a full path first), checked.
    MarkerCheck CheckTypedMarker();

    HWND text1_ = nullptr;
    HWND btnSelect_ = nullptr;
    HWND btnChoose_ = nullptr;
    HWND cboSets_ = nullptr;
    HWND lblSets_ = nullptr;
    HWND choiceLabel_ = nullptr;
    std::vector<DatedSet> daySets_;  // in the drop-down, newest first
    // The files ticked in "Choose files...", where the player narrowed the restore.
    std::optional<std::vector<DataName>> picked_;
    bool settingMarker_ = false;
    HWND congratulations_ = nullptr;
    HWND doneLabel_ = nullptr;
    HWND safetyLabel_ = nullptr;  // where the safety set of a successful restore lies
    bool restoreIncomplete_ = false;
};
