#pragma once
// What the game-data adapters need of the wizard whose job they run: its frame (the
// buttons and the Next operation that moves it on) and the finish panel's verdict; and
// what both wizards' finish panels say alike.

#include <string>

#include "engine/jobs/JobReport.h"
#include "ui/WizardFrame.h"

class JobWizard {
public:
    virtual WizardFrame& Frame() = 0;
    // Called once the job is done, before the wizard moves on to its finish panel.
    virtual void ShowJobOutcome(const JobReport& report) = 0;

protected:
    ~JobWizard() = default;
};

// The note under a finish panel's verdict: names the game folder the job worked on,
// through gameFolderText (%1: the folder), when it is not where the game installs
// itself; then adds the sentence also, when there is one.
std::wstring FinishNote(const JobReport& report, const wchar_t* gameFolderText, const std::wstring& also);
