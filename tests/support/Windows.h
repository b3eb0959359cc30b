#pragma once
// Helpers for tests that use the program's real windows.

#include <windows.h>

#include <array>
#include <ostream>

// Destroys every window of the program, so that each test starts from fresh ones.
void UnloadAllWindows();

// The enabled state of a wizard's buttons: back, cancel, finish, next.
struct ButtonStates {
    bool back, cancel, finish, next;
    bool operator==(const ButtonStates&) const = default;
};
class WizardFrame;
ButtonStates StatesOf(const WizardFrame& wizard);
void PrintTo(const ButtonStates& s, std::ostream* os);

// Two clicks on the button that reach the program together (a hasty double click on a
// busy machine): both are posted to the button's window before either is handled, then
// the message loop handles them; the first one's yields handle the second.
void PostTwoClicksAndHandleThem(HWND button);

// Whether the control itself is set to show (its panel may be hidden).
bool IsSetToShow(HWND control);
