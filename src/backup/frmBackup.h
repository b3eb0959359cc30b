#pragma once
// The backup wizard: welcome, information, the choice of the backup folder, two
// panels while the engine copies, and the finish panel with the folder's path.

#include "ui/SingleInstance.h"
#include "ui/WizardFrame.h"
#include "backup/JobWizard.h"

// The backup wizard's button rows and switches on the shared frame.
extern const WizardRules BackupWizardRules;

class frmBackup : public WizardFrame, public JobWizard, public SingleInstance<frmBackup> {
public:
    frmBackup();  // use Instance(): one backup wizard per process

    void btnSelect_Click();  // "Select": the folder chooser
    void Command1_Click();   // "Copy to Clipboard"

    HWND text1() const { return text1_; }
    HWND btnSelect() const { return btnSelect_; }
    HWND txtPath() const { return txtPath_; }
    HWND Command1() const { return command1_; }
    HWND Check1() const { return check1_; }
    HWND chkSGML() const { return chkSGML_; }

    WizardFrame& Frame() override { return *this; }
    // The finish panel says whether the set is complete. A new backup starts whole again.
    void ShowJobOutcome(const JobReport& report) override;
    bool SetIncomplete() const { return setIncomplete_; }
    HWND CongratulationsHeading() const { return congratulations_; }
    HWND CompleteLabel() const { return completeLabel_; }
    // Where the data came from, when not from the usual game folder alone.
    HWND WhereNote() const { return whereNote_; }
    // The advice to copy the set's folder to a CD, DVD or another removable device.
    HWND RemovableAdvice() const { return removable_; }
    HWND RecommendLabel() const { return recommend_; }
    // The offer of a daily backup into the same folder: the check box, its time and the
    // number of dated sets it keeps.
    HWND DailyCheck() const { return daily_; }
    HWND DailyAt() const { return dailyAt_; }
    HWND DailyKeep() const { return dailyKeep_; }

private:
    void BuildPanels() override;
    bool CheckLeavingStep(short step) override;
    void AfterAdvance() override;
    void OnControlCommand(int id, int code) override;
    // A checked daily backup is set up before the program ends.
    bool ReadyToFinish() override;
    bool ScheduleDaily();
    void PlaceDailyLine();
    void ShowVerdict(bool incomplete);
    // The finish panel's note of a game folder other than the usual one, and of files
    // taken from Windows' per-user copy ("" hides it).
    void ShowWhereNote(const std::wstring& note);

    HWND text1_ = nullptr;
    HWND btnSelect_ = nullptr;
    HWND txtPath_ = nullptr;
    HWND command1_ = nullptr;
    HWND check1_ = nullptr;
    HWND chkSGML_ = nullptr;
    HWND congratulations_ = nullptr;
    HWND completeLabel_ = nullptr;
    HWND whereNote_ = nullptr;
    HWND recommend_ = nullptr;
    HWND removable_ = nullptr;
    HWND daily_ = nullptr;
    HWND dailyAt_ = nullptr;
    HWND dailyKeeping_ = nullptr;
    HWND dailyKeep_ = nullptr;
    bool setIncomplete_ = false;
};
