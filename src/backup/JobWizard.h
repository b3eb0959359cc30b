#pragma once
// What the game-data adapters need of the wizard whose job they run: its frame (the
// buttons and the Next operation that moves it on) and the finish panel's verdict.

#include "engine/JobReport.h"
#include "ui/WizardFrame.h"

class JobWizard {
public:
    virtual WizardFrame& Frame() = 0;
    // Called once the job is done, before the wizard moves on to its finish panel.
    virtual void ShowJobOutcome(const JobReport& report) = 0;

protected:
    ~JobWizard() = default;
};
