#pragma once
// The main menu: backup or restore, a link to the product's web page, and Cancel.

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

    HWND optBackup() const { return optBackup_; }
    HWND optRestore() const { return optRestore_; }
    HWND Command4() const { return command4_; }
    HWND Command3() const { return command3_; }
    HWND Label4() const { return label4_; }

    frmMain();  // use Instance(): one main menu per process
    ~frmMain() override;

private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnCommand(int id, int code);
    void CreateControls();
    // Start carries the shield while it would start a restore that needs administrator rights.
    void UpdateShield();

    int dpi_;
    FontSet fonts_;
    HWND label2_ = nullptr;
    HWND frame1_ = nullptr;
    HWND optBackup_ = nullptr;
    HWND optRestore_ = nullptr;
    HWND command4_ = nullptr;
    HWND command3_ = nullptr;
    HWND label4_ = nullptr;
    bool restoreNeedsRights_ = false;
};
