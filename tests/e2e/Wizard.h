#pragma once
// The program's windows as the user recognises them: the main menu and the two wizards,
// whose current step shows as the one visible panel with its own texts.

#include <windows.h>

#include <array>
#include <optional>
#include <string>

struct WizardKind {
    const wchar_t* name;  // "backup", "restore": for logs and screenshot names
    std::array<const wchar_t*, 6> panelTexts;  // a text that only panel k shows
};

extern const WizardKind kBackupWizard;
extern const WizardKind kRestoreWizard;

inline constexpr wchar_t kMainMenuTitle[] = L"Backup Tarnwick";
inline constexpr wchar_t kOptionBackup[] = L"Backup Tarnwick maps and saved games";
inline constexpr wchar_t kOptionRestore[] = L"Restore Tarnwick maps and saved games";
inline constexpr wchar_t kStart[] = L"Start";
inline constexpr wchar_t kCancel[] = L"Cancel";
inline constexpr wchar_t kBack[] = L"< &Back";
inline constexpr wchar_t kNext[] = L"&Next >";
inline constexpr wchar_t kFinish[] = L"&Finish";
inline constexpr wchar_t kSelect[] = L"Select";

bool IsMainMenu(HWND window);
bool IsWizardWindow(HWND window);  // untitled, with the wizard's Next button
bool IsOpenDialog(HWND window);    // the open-file dialog titled "Open"

class Wizard {
public:
    Wizard(HWND window, const WizardKind& kind) : window_(window), kind_(kind) {}

    HWND Window() const { return window_; }
    const WizardKind& Kind() const { return kind_; }
    HWND VisiblePanel() const;
    int Step() const;  // -1 while no known panel is shown
    HWND Button(const std::wstring& caption) const;  // one of the four wizard buttons
    // A control on the panel now shown.
    HWND PanelControl(const std::wstring& className, const std::optional<std::wstring>& text = {}) const;
    // Fails unless exactly these wizard buttons are enabled.
    void ExpectButtons(bool back, bool cancel, bool finish, bool next) const;

private:
    HWND StepPanel(int& step) const;

    HWND window_;
    const WizardKind& kind_;
};
