#pragma once
// The frame both wizards stand on: six stacked step panels, the step strip at the
// left with a label and a marker per step, and Cancel, Back, Next and Finish along
// the bottom. Each wizard gives its button rows and a few switches as data, and its
// panels, check and engine through the hooks below.

#include <array>
#include <memory>

#include "ui/Controls.h"
#include "ui/Panel.h"
#include "ui/ProgressDisplay.h"
#include "ui/Window.h"

// What a row does to one button: leave it, enable it, disable it.
enum class Btn : unsigned char { Keep, On, Off };

struct ButtonRow {
    Btn back, cancel, finish, next;
};

inline constexpr short StepCount = 6;
inline constexpr short LastStep = StepCount - 1;

inline constexpr COLORREF MarkerCurrent = RGB(0, 255, 0);
inline constexpr COLORREF MarkerOther = RGB(128, 128, 128);
inline constexpr COLORREF MarkerFinish = RGB(255, 0, 0);
inline constexpr COLORREF PanelWhite = RGB(255, 255, 255);
inline constexpr COLORREF PanelGrey = RGB(192, 192, 192);

inline constexpr FontSpec StepHeadingFont{L"MS Sans Serif", 9.75, true};
inline constexpr FontSpec SmallArialFont{L"Arial", 6.75};

struct WizardRules {
    // Applied on leaving the step (index) with Next.
    std::array<ButtonRow, StepCount> nextRows;
    // Next yields three times after the row of step 1 or 2, then three more, before the check.
    bool yieldsInNext;
    // Reaching the last step with Next leaves only Finish and Cancel enabled.
    bool finishRowOnLastStep;
    // Back disables itself on reaching step 0 and yields three times before moving the strip.
    bool backDisablesAtStartAndYields;
    FontSpec buttonFont;
};

// Back rows, the same in both wizards (steps 0 and 5 have none).
extern const std::array<ButtonRow, StepCount> BackRows;

class WizardFrame : public Window {
public:
    ~WizardFrame() override;

    // The buttons' operations. Next may be called again from inside itself: the
    // engines move the wizard on while the user's own click is still running.
    void cmdNext_Click();
    void cmdBack_Click();
    // Ends the program; while a job runs, asks the job to stop instead (see SetJobRunning).
    void cmdCancel_Click();
    // Ends the program, once the wizard's last word allows it (ReadyToFinish).
    void cmdFinish_Click();
    void Form_Load();
    // Moves the strip's highlight from step previous to step current.
    void ShowStep(short previous, short current);

    // The window that owns every wizard made from now on, so that no wizard has a
    // taskbar button of its own; nullptr makes them stand alone. The program's main
    // window names itself here before it can open a wizard.
    static void SetOwner(HWND owner);

    void Show();       // shows the window and returns
    void ShowModal();  // shows the window and returns when it is hidden again

    short Step() const { return counter_; }
    int FrontPanel() const { return front_; }
    Panel& fraSteps(int step) { return *panels_.at(static_cast<size_t>(step)); }
    HWND lblSteps(int step) const { return labels_.at(static_cast<size_t>(step)); }
    COLORREF shpStepsColor(int step) const;
    HWND cmdBack() const { return cmdBack_; }
    HWND cmdCancel() const { return cmdCancel_; }
    HWND cmdNext() const { return cmdNext_; }
    HWND cmdFinish() const { return cmdFinish_; }
    // While a job runs, Cancel and the close box only ask it to stop; the job undoes its
    // work at its next safe point and then ends the program itself.
    void SetJobRunning(bool running);
    bool CancelRequested() const { return cancelRequested_; }

    // Sets the four buttons in the order back, cancel, finish, next.
    void ApplyRow(const ButtonRow& row);

    // Shows a job's progress on the panel in front, where the wizard gave it a display.
    void ShowProgress(const ProgressView& view);
    // The progress display of a step; nullptr where it has none.
    const ProgressDisplay* ProgressOn(int step) const { return progress_.at(static_cast<size_t>(step)).get(); }

protected:
    // counter is the wizard's step counter: process-wide for one wizard, a member for the other.
    WizardFrame(short& counter, const WizardRules& rules);

    // Builds the window; the derived constructor calls it once its own members exist.
    void Load();

    // The wizard's own panel contents.
    virtual void BuildPanels() = 0;
    // The check of the step being left; false keeps the wizard on that step.
    virtual bool CheckLeavingStep(short step) = 0;
    // Runs after every advance of Next (the engines start here).
    virtual void AfterAdvance() = 0;
    // A click or notification from one of the wizard's own controls.
    virtual void OnControlCommand(int id, int code) = 0;
    // What Finish does before the program ends; false keeps the wizard open.
    virtual bool ReadyToFinish() { return true; }

    // Panel building blocks shared by both wizards.
    HWND AddText(int step, const std::wstring& text, const TwipsRect& rect, const FontSpec& font = ArialFont);
    HWND AddStepHeading(int step, const std::wstring& text);
    HWND AddControl(int step, const ControlArgs& args, const FontSpec& font);
    void AddDecorativeSquares(int step, int left, int top);
    // A display of a job's progress in the free room of the step's panel; caption, the
    // step's line saying what it does, follows what the job copies.
    void AddProgressDisplay(int step, HWND caption = nullptr);

    short& counter_;

private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code);
    HWND FrameButton(int id) const;  // Cancel, Back, Next or Finish by its id; nullptr for others
    void CreateStrip();
    void CreateButtons();
    void BringPanelToFront(int step);
    // Enter presses Next while it is enabled, else Finish; the focus, when a step shows,
    // goes to the step's first input, else to that button.
    HWND DefaultButton() const;
    void UpdateDefaultButton();
    void FocusStep();
    void PressDefault();

    WizardRules rules_;
    int dpi_;
    FontSet fonts_;
    std::unique_ptr<Panel> picWiz_;
    std::unique_ptr<Panel> buttonBar_;
    std::array<std::unique_ptr<Panel>, StepCount> panels_;
    std::array<std::unique_ptr<ProgressDisplay>, StepCount> progress_;
    std::array<HWND, StepCount> labels_{};
    std::array<size_t, StepCount> markers_{};
    HWND cmdCancel_ = nullptr;
    HWND cmdBack_ = nullptr;
    HWND cmdNext_ = nullptr;
    HWND cmdFinish_ = nullptr;
    int front_ = 0;
    bool jobRunning_ = false;
    bool cancelRequested_ = false;
};
