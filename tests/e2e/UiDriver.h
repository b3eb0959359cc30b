#pragma once
// Finding and working another program's windows from outside, the way a user sees them:
// by their texts and classes. Nothing here waits on the other program without a time limit.

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using WindowPredicate = std::function<bool(HWND)>;

// The window's class without a version prefix ("6.0.x!Button" reads as "Button").
std::wstring ClassOf(HWND window);
// The text the system keeps for the window (captions, labels, buttons); sends nothing,
// so it answers even while the program is busy.
std::wstring TextOf(HWND window);
// The text an edit box holds, asked of the box itself; empty when it does not answer in time.
std::wstring EditText(HWND edit);
bool SameText(const std::wstring& a, const std::wstring& b);  // ignoring case

// The process's visible top-level windows, and the first of them that the predicate accepts.
std::vector<HWND> TopWindows(DWORD pid);
HWND FindTopWindow(DWORD pid, const WindowPredicate& predicate);

// Every window below the parent, depth first; the first that matches class (empty: any)
// and text (none: any); FindVisibleChild also wants it visible.
std::vector<HWND> Descendants(HWND parent);
HWND FindChild(HWND parent, const std::wstring& className, const std::optional<std::wstring>& text = {});
HWND FindVisibleChild(HWND parent, const std::wstring& className, const std::optional<std::wstring>& text = {});
bool HasChildText(HWND parent, const std::wstring& text);  // a visible window below with this text

// Polls the condition until it holds or the time is up.
bool WaitFor(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 20);

// A user's click on a push button: refused when the button is hidden or disabled. Posted, so
// that a click whose handling runs long (a whole backup) does not hold the driver.
void Click(HWND button);
// Two clicks that reach the program together, as a hasty double click on a busy machine:
// both are posted before the program can handle the first.
void ClickTwiceAtOnce(HWND button);
void ClickRadio(HWND radio);
bool IsChecked(HWND button);
void SetText(HWND edit, const std::wstring& text);  // what typing into the box leaves in it

// The user at the keyboard. Keys go through the system's input queue (SendInput) to the
// window that has the focus, as a user's would: a control without the focus misses them.
void PressKey(WORD key, bool withAlt = false);
void TypeText(const std::wstring& text);
// The control that has the keyboard focus in the thread of the window; nullptr when none.
HWND FocusOf(HWND window);

// Standard message boxes: a dialog whose text is the static with id 0xFFFF.
bool IsMessageBox(HWND window);
HWND FindMessageBox(DWORD pid);
std::wstring MessageBoxText(HWND box);
// Presses one of the dialog's buttons (IDOK, IDYES, ...), which must be shown and enabled.
void PressDialogButton(HWND dialog, int buttonId);

// Waits until the program next handles its messages (it answers a sent one), then gives it
// paintMs to paint.
void Settle(HWND window, DWORD paintMs = 150);

// Every visible window of the process with its class and text, for failure reports.
std::wstring DescribeWindows(DWORD pid);
