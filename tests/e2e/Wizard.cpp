#include "Wizard.h"

#include <algorithm>

#include "E2eError.h"
#include "UiDriver.h"

const WizardKind kBackupWizard{
    L"backup",
    {L"Welcome to Tarnwick Backup", L"We will now begin backing up your Dwellkin customizations",
     L"Select a folder to backup the Tarnwick maps and saved games to.", L"Backing up maps",
     L"Backing up saved games", L"Backup of Tarnwicks maps and saved games is complete!"}};

const WizardKind kRestoreWizard{
    L"restore",
    {L"Welcome to Tarnwick Restore", L"Please select Backup Tarnwik to restore:", L"Restoring customized settings...",
     L"Restoring saved games...", L"Restoring maps", L"Tarnwick Restore"}};

namespace {

constexpr wchar_t kPanelClass[] = L"BkTrnwckPanel";

std::wstring OnOff(bool on) { return on ? L"on" : L"off"; }

}  // namespace

bool IsMainMenu(HWND window) {
    return TextOf(window) == kMainMenuTitle && FindChild(window, L"Button", std::wstring(kStart));
}

bool IsWizardWindow(HWND window) {
    return TextOf(window).empty() && FindChild(window, L"Button", std::wstring(kNext));
}

bool IsOpenDialog(HWND window) { return ClassOf(window) == L"#32770" && TextOf(window) == L"Open"; }

// The step panels share their class with the strip of step labels, so the panel of a step
// is the visible one that shows one of the step's own texts.
HWND Wizard::VisiblePanel() const {
    int step = -1;
    return StepPanel(step);
}

int Wizard::Step() const {
    int step = -1;
    StepPanel(step);
    return step;
}

HWND Wizard::StepPanel(int& step) const {
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (!IsWindowVisible(child) || !SameText(ClassOf(child), kPanelClass))
            continue;
        for (step = 0; step < 6; ++step)
            if (HasChildText(child, kind_.panelTexts[step]))
                return child;
    }
    step = -1;
    return nullptr;
}

HWND Wizard::Button(const std::wstring& caption) const {
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (SameText(ClassOf(child), L"Button") && TextOf(child) == caption)
            return child;
    throw E2eError(L"the " + std::wstring(kind_.name) + L" wizard has no button \"" + caption + L"\"");
}

HWND Wizard::PanelControl(const std::wstring& className, const std::optional<std::wstring>& text) const {
    HWND panel = VisiblePanel();
    HWND control = panel ? FindVisibleChild(panel, className, text) : nullptr;
    if (!control)
        throw E2eError(L"step " + std::to_wstring(Step()) + L" of the " + kind_.name + L" wizard shows no " +
                       className + (text ? L" \"" + *text + L"\"" : L""));
    return control;
}

void Wizard::ExpectButtons(bool back, bool cancel, bool finish, bool next) const {
    bool actual[4] = {IsWindowEnabled(Button(kBack)) != FALSE, IsWindowEnabled(Button(kCancel)) != FALSE,
                      IsWindowEnabled(Button(kFinish)) != FALSE, IsWindowEnabled(Button(kNext)) != FALSE};
    bool expected[4] = {back, cancel, finish, next};
    if (std::equal(actual, actual + 4, expected))
        return;
    auto describe = [](const bool* states) {
        return L"Back " + OnOff(states[0]) + L", Cancel " + OnOff(states[1]) + L", Finish " + OnOff(states[2]) +
               L", Next " + OnOff(states[3]);
    };
    throw E2eError(L"step " + std::to_wstring(Step()) + L" of the " + kind_.name + L" wizard has buttons " +
                   describe(actual) + L"; expected " + describe(expected));
}
