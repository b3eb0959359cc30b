#pragma once
// The main menu: backup or restore, a link to the product's web page, and Cancel. While
// the last backup without a window failed and none has completed since, a line below says
// so, with a link that opens the log.

#include <memory>

#include "ui/Controls.h"
#include "ui/SingleInstance.h"
#include "ui/Window.h"

class frmMain : public Window, public SingleInstance<frmMain> {
public:
    void Show();
    void Hide();

    void Command4_Click();                 // "Start"
    [[noreturn]] void Command3_Click();    // "Cancel"
    void Label4_Click();                   // the web link
    void OpenLog_Click();                  // "Open the log"

    HWND optBackup() const { return optBackup_; }
    HWND optRestore() const { return optRestore_; }
    HWND Command4() const { return command4_; }
    HWND Command3() const { return command3_; }
    HWND Label4() const { return label4_; }
    HWND LastBackupLabel() const { return lastBackup_; }
    HWND OpenLogLink() const { return openLog_; }

    frmMain();  // use Instance(): one main menu per process
    ~frmMain() override;

private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code);
    void CreateControls();
    // Start carries the shield while it would start a restore that needs administrator rights.
    void UpdateShield();
    // The line of a failed backup without a window, shown (the window taller) or hidden.
    void UpdateLastBackup();
    void SizeClient(int heightTwips);
    void SizeClientPixels(int height);

    int dpi_;
    FontSet fonts_;
    HWND label2_ = nullptr;
    HWND frame1_ = nullptr;
    HWND optBackup_ = nullptr;
    HWND optRestore_ = nullptr;
    HWND command4_ = nullptr;
    HWND command3_ = nullptr;
    HWND label4_ = nullptr;
    HWND lastBackup_ = nullptr;
    HWND openLog_ = nullptr;
    bool restoreNeedsRights_ = false;
};
