#pragma once
// The restore wizard: welcome, the choice of a backup set's marker file, three
// panels while the engine copies the set back, and the finish panel.

#include "ui/SingleInstance.h"
#include "ui/WizardFrame.h"
#include "backup/JobWizard.h"

// The restore wizard's button rows and switches on the shared frame.
extern const WizardRules RestoreWizardRules;

class frmRestore : public WizardFrame, public JobWizard, public SingleInstance<frmRestore> {
public:
    frmRestore();  // use Instance(): one restore wizard per process

    void btnSelect_Click();  // "Select": the open-file dialog
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

private:
    void BuildPanels() override;
    bool CheckLeavingStep(short step) override;
    void ShowVerdict(bool incomplete);
    void AfterAdvance() override;
    void OnControlCommand(int id, int code) override;

    HWND text1_ = nullptr;
    HWND btnSelect_ = nullptr;
    HWND congratulations_ = nullptr;
    HWND doneLabel_ = nullptr;
    HWND safetyLabel_ = nullptr;  // where the safety set of a successful restore lies
    bool restoreIncomplete_ = false;
};
