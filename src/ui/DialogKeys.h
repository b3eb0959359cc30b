#pragma once
// The keys of any Windows dialog for the program's own windows, which are not dialogs:
// the message loops hand keys to IsDialogMessage, which turns Enter into IDOK and Esc
// into IDCANCEL sent to the window; these helpers let a window answer them as a dialog
// would.

#include <windows.h>

// Enter on a focused push button presses that button, as in a dialog. False when the
// focus is not on an enabled push button inside window.
bool PressFocusedButton(HWND window);

// The first control of container that takes input from the keyboard: a box to type in,
// a check box, an option. Push buttons and read-only boxes are not inputs. nullptr when
// container has none that is visible and enabled.
HWND FirstInput(HWND container);

// Marks button as the one Enter presses (drawn with the thick border) or not.
void MarkDefaultButton(HWND button, bool isDefault);

// Puts the focus on control when the window it lies in is the active one; a window
// not on screen yet gets its focus when it shows.
void FocusIfActive(HWND control);
