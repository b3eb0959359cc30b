#include "app/frmMain.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/CommandOutput.h"
#include "app/DesktopShell.h"
#include "app/WebLink.h"
#include "backup/frmBackup.h"
#include "engine/jobs/JobDescription.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "restore/RestoreElevation.h"
#include "restore/frmRestore.h"
#include "runtime/EndProgram.h"
#include "runtime/EventGuard.h"
#include "runtime/MousePointer.h"
#include "runtime/MsgBox.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "ui/DialogKeys.h"
#include "ui/WizardFrame.h"

namespace {

enum ControlId { IdBackup = 101, IdRestore, IdStart, IdCancel, IdLink, IdLastBackup, IdOpenLog };

constexpr int ClientWidth = 5220;
constexpr int ClientHeight = 3240;
constexpr COLORREF LinkBlue = RGB(0, 0, 255);
constexpr FontSpec HeadingFont{L"Arial", 12, true};
constexpr FontSpec LinkFont{L"Arial", 6.75, false, true};

}  // namespace

frmMain::frmMain() : dpi_(ScreenDpi()), fonts_(dpi_) {
    RECT client{0, 0, TwipsToPixels(ClientWidth, dpi_), TwipsToPixels(ClientHeight, dpi_)};
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    AdjustWindowRectEx(&client, style, FALSE, WS_EX_CONTROLPARENT);
    CreateArgs args;
    args.className = L"BkTrnwckMain";
    args.exStyle = WS_EX_CONTROLPARENT;
    args.style = style;
    args.title = texts::AppTitle;
    args.width = client.right - client.left;
    args.height = client.bottom - client.top;
    args.icon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    args.background = GetSysColorBrush(COLOR_BTNFACE);
    CreateWindowObject(args);
    CreateControls();
    // The wizards are opened from here: they belong to this window.
    WizardFrame::SetOwner(Hwnd());
}

frmMain::~frmMain() { WizardFrame::SetOwner(nullptr); }

void frmMain::CreateControls() {
    HWND me = Hwnd();
    HFONT normal = fonts_.Get(DefaultFont);
    label2_ = CreateControl({me, L"STATIC", texts::MainWelcome, SS_LEFT | SS_NOPREFIX, {360, 240, 4500, 400}}, dpi_,
                            fonts_.Get(HeadingFont));
    frame1_ = CreateControl({me, L"BUTTON", L"", BS_GROUPBOX, {360, 780, 4500, 1140}}, dpi_, normal);
    optBackup_ = CreateControl(
        {me, L"BUTTON", texts::MainOptBackup, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, {600, 1000, 4100, 300}, IdBackup},
        dpi_, normal);
    optRestore_ = CreateControl(
        {me, L"BUTTON", texts::MainOptRestore, BS_AUTORADIOBUTTON, {600, 1420, 4100, 300}, IdRestore}, dpi_, normal);
    command4_ = CreateControl(
        {me, L"BUTTON", texts::MainStart, BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, {2400, 2160, 1095, 375}, IdStart},
        dpi_, normal);
    command3_ = CreateControl(
        {me, L"BUTTON", texts::MainCancel, BS_PUSHBUTTON | WS_TABSTOP, {3660, 2160, 1095, 375}, IdCancel}, dpi_, normal);
    label4_ = CreateControl(
        {me, L"STATIC", texts::ProgramPageUrl, SS_LEFT | SS_NOPREFIX | SS_NOTIFY, {360, 2820, 4500, 240}, IdLink}, dpi_,
        fonts_.Get(LinkFont));
    // Hidden until there is a failure to tell; a static control, so a screen reader reads it.
    lastBackup_ = CreateControl({me, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, {360, 3180, 4500, 720}, IdLastBackup}, dpi_,
                                normal);
    openLog_ = CreateControl({me, L"STATIC", texts::MenuOpenLog, SS_LEFT | SS_NOPREFIX | SS_NOTIFY,
                              {360, 3960, 4500, 240}, IdOpenLog},
                             dpi_, fonts_.Get(LinkFont));
    ShowWindow(lastBackup_, SW_HIDE);
    ShowWindow(openLog_, SW_HIDE);
    SendMessageW(optBackup_, BM_SETCHECK, BST_CHECKED, 0);
}

void frmMain::UpdateLastBackup() {
    std::optional<WindowlessBackup> last = ReadWindowlessBackup(LastWindowlessBackupPath());
    const bool failed = last && last->FailureStands();
    const std::wstring shown = failed ? DescribeWindowlessFailure(*last) : std::wstring();
    SetText(lastBackup_, shown);
    ShowWindow(lastBackup_, failed ? SW_SHOW : SW_HIDE);
    ShowWindow(openLog_, failed ? SW_SHOW : SW_HIDE);
    if (!failed) {
        SizeClient(ClientHeight);
        return;
    }
    // As tall as the reason needs, wrapped as the label wraps it; the link below it.
    RECT label;
    GetWindowRect(lastBackup_, &label);
    MapWindowPoints(nullptr, Hwnd(), reinterpret_cast<POINT*>(&label), 2);
    const int height = WrappedTextHeight(lastBackup_, shown, label.right - label.left);
    const int gap = TwipsToPixels(120, dpi_);
    SetWindowPos(lastBackup_, nullptr, 0, 0, label.right - label.left, height, SWP_NOMOVE | SWP_NOZORDER);
    RECT link;
    GetWindowRect(openLog_, &link);
    const int linkTop = label.top + height + gap;
    SetWindowPos(openLog_, nullptr, label.left, linkTop, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    SizeClientPixels(linkTop + (link.bottom - link.top) + 2 * gap);
}

void frmMain::SizeClient(int heightTwips) { SizeClientPixels(TwipsToPixels(heightTwips, dpi_)); }

void frmMain::SizeClientPixels(int height) {
    RECT client{0, 0, TwipsToPixels(ClientWidth, dpi_), height};
    AdjustWindowRectEx(&client, static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongPtrW(Hwnd(), GWL_EXSTYLE)));
    SetWindowPos(Hwnd(), nullptr, 0, 0, client.right - client.left, client.bottom - client.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmMain::OpenLog_Click() {
    const std::wstring log = CommandLogPath();
    // As the player: the desktop's shell opens it where it can.
    if (ShellExecuteFromDesktop(log, L""))
        return;
    if (reinterpret_cast<INT_PTR>(ShellExecuteW(Hwnd(), L"open", log.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) <= 32)
        MsgBox(FillIn(texts::LogNotOpened, {log}), MsgButtons::Ok, MsgIcon::Exclamation);
}

void frmMain::Show() {
    restoreNeedsRights_ = RestoreNeedsElevation();
    UpdateShield();
    UpdateLastBackup();
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    UpdateWindow(Hwnd());
    // The chosen job has the focus: Enter starts it, the arrows choose the other.
    bool backup = SendMessageW(optBackup_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    FocusIfActive(backup ? optBackup_ : optRestore_);
}

void frmMain::Hide() { ShowWindow(Hwnd(), SW_HIDE); }

void frmMain::UpdateShield() {
    bool restore = SendMessageW(optRestore_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    SendMessageW(command4_, BCM_SETSHIELD, 0, restore && restoreNeedsRights_);
}

void frmMain::Command4_Click() {
    bool backup = SendMessageW(optBackup_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    // The shield's promise: the rights are asked for before the wizard opens.
    if (!backup && restoreNeedsRights_ && !ConfirmRightsForRestore(Hwnd(), L""))
        return;
    Hide();
    if (backup) {
        frmBackup::Instance().Show();
        return;
    }
    frmRestore::Instance().ShowModal();
}

void frmMain::Command3_Click() { EndProgram(); }

void frmMain::Label4_Click() { OpenProductPage(Hwnd()); }

void frmMain::OnCommand(int id, int code) {
    switch (id) {
    case IdStart:
        Command4_Click();
        return;
    case IdCancel:
        Command3_Click();
    case IDOK:  // Enter, from the message loop's dialog keys: Start, unless a button has the focus
        if (!PressFocusedButton(Hwnd()))
            Command4_Click();
        return;
    case IDCANCEL:  // Esc
        Command3_Click();
    case IdLink:
        if (code == STN_CLICKED)
            Label4_Click();
        return;
    case IdOpenLog:
        if (code == STN_CLICKED)
            OpenLog_Click();
        return;
    case IdBackup:
    case IdRestore:
        if (code == BN_CLICKED)
            UpdateShield();
        return;
    default:
        return;
    }
}

LRESULT frmMain::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        RunEventHandler([&] { OnCommand(LOWORD(wParam), HIWORD(wParam)); });
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == label4_ || reinterpret_cast<HWND>(lParam) == openLog_) {
            HDC dc = reinterpret_cast<HDC>(wParam);
            SetTextColor(dc, LinkBlue);
            SetBkMode(dc, TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        }
        break;
    case WM_SETCURSOR:
        if ((reinterpret_cast<HWND>(wParam) == label4_ || reinterpret_cast<HWND>(wParam) == openLog_) &&
            CurrentMousePointer() == MousePointer::Default) {
            SetCursor(LoadCursorW(nullptr, IDC_HAND));
            return TRUE;
        }
        break;
    case WM_CLOSE:
        // The menu is the only window: closing it is leaving the program.
        EndProgram();
    default:
        break;
    }
    return Window::OnMessage(msg, wParam, lParam);
}
