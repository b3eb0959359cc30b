#include "ui/WizardFrame.h"

#include "runtime/DoEvents.h"
#include "runtime/EndProgram.h"
#include "runtime/EventGuard.h"
#include "runtime/Texts.h"
#include "ui/DialogKeys.h"

namespace {

enum ButtonId { IdCancel = 101, IdBack, IdNext, IdFinish };

HWND g_owner = nullptr;

constexpr int ClientWidth = 8490;
constexpr int ClientHeight = 4590;
constexpr TwipsRect StripRect{0, 0, 2175, 3975};
constexpr TwipsRect PanelRect{2160, 0, 6375, 3855};
constexpr TwipsRect StripBar{240, 240, 255, 2295};
constexpr TwipsRect ButtonBar{2160, 3840, 6375, 135};
constexpr COLORREF StripBarColor = RGB(0, 0, 128);
constexpr COLORREF ButtonBarColor = RGB(128, 128, 128);
constexpr int ButtonTop = 4080;
constexpr int ButtonWidth = 975;
constexpr int ButtonHeight = 375;

constexpr bool IsEndStep(int step) { return step == 0 || step == LastStep; }

TwipsRect MarkerRect(int step) {
    int top = step == 0 ? 120 : 480 * step;
    return {IsEndStep(step) ? 120 : 360, top, 255, 255};
}

TwipsRect LabelRect(int step) {
    int top = step == 0 ? 120 : 480 * step;
    int left = IsEndStep(step) ? 600 : 720;
    return {left, top, StripRect.width - left - 60, 255};
}

COLORREF LoadMarkerColor(int step) {
    if (step == 0)
        return MarkerCurrent;
    return step == LastStep ? MarkerFinish : MarkerOther;
}

void SetButton(HWND button, Btn state) {
    if (state != Btn::Keep)
        SetEnabled(button, state == Btn::On);
}

}  // namespace

const std::array<ButtonRow, StepCount> BackRows = {{
    {Btn::Keep, Btn::Keep, Btn::Keep, Btn::Keep},
    {Btn::Off, Btn::On, Btn::Off, Btn::On},
    {Btn::On, Btn::On, Btn::Off, Btn::On},
    {Btn::Off, Btn::On, Btn::Off, Btn::Off},
    {Btn::Off, Btn::On, Btn::Off, Btn::Off},
    {Btn::Keep, Btn::Keep, Btn::Keep, Btn::Keep},
}};

WizardFrame::WizardFrame(short& counter, const WizardRules& rules)
    : counter_(counter), rules_(rules), dpi_(ScreenDpi()), fonts_(dpi_) {}

WizardFrame::~WizardFrame() = default;

void WizardFrame::Load() {
    RECT client{0, 0, TwipsToPixels(ClientWidth, dpi_), TwipsToPixels(ClientHeight, dpi_)};
    // A fixed dialog without caption text, owned by the window named in SetOwner.
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;
    AdjustWindowRectEx(&client, style, FALSE, exStyle);
    CreateArgs args;
    args.className = L"BkTrnwckWizard";
    args.style = style;
    args.exStyle = exStyle;
    args.width = client.right - client.left;
    args.height = client.bottom - client.top;
    args.parent = g_owner;
    args.background = GetSysColorBrush(COLOR_BTNFACE);
    CreateWindowObject(args);

    CreateStrip();
    for (int step = 0; step < StepCount; ++step) {
        COLORREF background = IsEndStep(step) ? PanelWhite : PanelGrey;
        panels_[static_cast<size_t>(step)] = std::make_unique<Panel>(Hwnd(), PanelRect, background, dpi_, fonts_);
    }
    auto bar = std::make_unique<Panel>(Hwnd(), ButtonBar, ButtonBarColor, dpi_, fonts_);
    ShowWindow(bar->Hwnd(), SW_SHOW);
    buttonBar_ = std::move(bar);
    CreateButtons();
    BuildPanels();
    UpdateDefaultButton();
    BringPanelToFront(0);
    Form_Load();
}

void WizardFrame::CreateStrip() {
    picWiz_ = std::make_unique<Panel>(Hwnd(), StripRect, GetSysColor(COLOR_BTNFACE), dpi_, fonts_);
    picWiz_->AddShape(StripBar, StripBarColor);
    for (int step = 0; step < StepCount; ++step) {
        auto i = static_cast<size_t>(step);
        markers_[i] = picWiz_->AddShape(MarkerRect(step), LoadMarkerColor(step));
        FontSpec font = DefaultFont;
        font.bold = step == 0;
        labels_[i] = picWiz_->AddLabel(texts::StepLabels[i], LabelRect(step), font);
    }
    ShowWindow(picWiz_->Hwnd(), SW_SHOW);
}

void WizardFrame::CreateButtons() {
    // Created in tab order: Cancel, Back, Next, Finish.
    HFONT font = fonts_.Get(rules_.buttonFont);
    auto make = [&](const wchar_t* text, int left, int id, bool enabled) {
        DWORD style = BS_PUSHBUTTON | WS_TABSTOP | (enabled ? 0 : WS_DISABLED);
        return CreateControl({Hwnd(), L"BUTTON", text, style, {left, ButtonTop, ButtonWidth, ButtonHeight}, id}, dpi_,
                             font);
    };
    cmdCancel_ = make(texts::ButtonCancel, 3840, IdCancel, true);
    cmdBack_ = make(texts::ButtonBack, 5010, IdBack, false);
    cmdNext_ = make(texts::ButtonNext, 6000, IdNext, true);
    cmdFinish_ = make(texts::ButtonFinish, 7320, IdFinish, false);
}

void WizardFrame::SetOwner(HWND owner) { g_owner = owner; }

void WizardFrame::Form_Load() { counter_ = 0; }

void WizardFrame::ApplyRow(const ButtonRow& row) {
    SetButton(cmdBack_, row.back);
    SetButton(cmdCancel_, row.cancel);
    SetButton(cmdFinish_, row.finish);
    SetButton(cmdNext_, row.next);
    UpdateDefaultButton();
}

HWND WizardFrame::DefaultButton() const {
    for (HWND button : {cmdNext_, cmdFinish_, cmdCancel_}) {
        if (IsEnabled(button))
            return button;
    }
    return nullptr;
}

void WizardFrame::UpdateDefaultButton() {
    HWND pressedByEnter = IsEnabled(cmdNext_) ? cmdNext_ : cmdFinish_;
    MarkDefaultButton(cmdNext_, pressedByEnter == cmdNext_);
    MarkDefaultButton(cmdFinish_, pressedByEnter == cmdFinish_);
    // A button disabled under the focus would leave the keyboard with nowhere to go.
    HWND focus = GetFocus();
    if (!focus || (IsChild(Hwnd(), focus) && !IsEnabled(focus)))
        FocusIfActive(DefaultButton());
}

void WizardFrame::FocusStep() {
    // What the finish panel offers is extra: the focus waits on Finish there.
    HWND input = front_ == LastStep ? nullptr : FirstInput(panels_.at(static_cast<size_t>(front_))->Hwnd());
    FocusIfActive(input ? input : DefaultButton());
}

void WizardFrame::PressDefault() {
    if (PressFocusedButton(Hwnd()))
        return;
    if (IsEnabled(cmdNext_)) {
        cmdNext_Click();
        return;
    }
    if (IsEnabled(cmdFinish_))
        cmdFinish_Click();
}

void WizardFrame::cmdNext_Click() {
    // The row and the yields belong to the step on screen when the click began.
    short atClick = counter_;
    ApplyRow(rules_.nextRows.at(static_cast<size_t>(atClick)));
    if (rules_.yieldsInNext) {
        if (atClick == 1 || atClick == 2)
            YieldThreeTimes();
        YieldThreeTimes();
    }
    // The counter is read afresh at every use from here on: a second click handled
    // during the yields, or an engine, may have moved the wizard on meanwhile, and the
    // check must be that of the step the wizard is on now.
    if (!CheckLeavingStep(counter_))
        return;

    counter_ = static_cast<short>(counter_ + 1);
    if (counter_ >= LastStep)
        counter_ = LastStep;
    if (rules_.finishRowOnLastStep && counter_ == LastStep)
        ApplyRow({Btn::Off, Btn::On, Btn::On, Btn::Off});
    ShowStep(static_cast<short>(counter_ - 1), counter_);
    BringPanelToFront(counter_);
    AfterAdvance();
}

void WizardFrame::cmdBack_Click() {
    ApplyRow(BackRows.at(static_cast<size_t>(counter_)));
    counter_ = static_cast<short>(counter_ - 1);
    if (counter_ <= 0)
        counter_ = 0;
    if (rules_.backDisablesAtStartAndYields) {
        if (counter_ == 0)
            SetEnabled(cmdBack_, false);
        YieldThreeTimes();
    }
    ShowStep(static_cast<short>(counter_ + 1), counter_);
    BringPanelToFront(counter_);
}

void WizardFrame::cmdCancel_Click() {
    // A running job is asked to stop at its next safe point and undo its work first:
    // ending at once would leave the player's data half copied.
    if (jobRunning_) {
        cancelRequested_ = true;
        SetEnabled(cmdCancel_, false);
        UpdateDefaultButton();
        return;
    }
    EndProgram();
}

void WizardFrame::SetJobRunning(bool running) {
    jobRunning_ = running;
    if (!running)
        cancelRequested_ = false;
}

void WizardFrame::cmdFinish_Click() {
    if (!ReadyToFinish())
        return;
    EndProgram();
}

void WizardFrame::ShowStep(short previous, short current) {
    if (previous < 0 || previous > LastStep || current < 0 || current > LastStep)
        return;
    auto p = static_cast<size_t>(previous);
    auto c = static_cast<size_t>(current);
    picWiz_->SetShapeColor(markers_[p], previous == LastStep ? MarkerFinish : MarkerOther);
    SendMessageW(labels_[p], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(DefaultFont)), TRUE);
    picWiz_->SetShapeColor(markers_[c], MarkerCurrent);
    FontSpec bold = DefaultFont;
    bold.bold = true;
    SendMessageW(labels_[c], WM_SETFONT, reinterpret_cast<WPARAM>(fonts_.Get(bold)), TRUE);
}

HWND WizardFrame::AddText(int step, const std::wstring& text, const TwipsRect& rect, const FontSpec& font) {
    return fraSteps(step).AddLabel(text, rect, font);
}

HWND WizardFrame::AddStepHeading(int step, const std::wstring& text) {
    return AddText(step, text, {240, 240, 3000, 300}, StepHeadingFont);
}

HWND WizardFrame::AddControl(int step, const ControlArgs& args, const FontSpec& font) {
    return fraSteps(step).AddControl(args, font);
}

void WizardFrame::AddDecorativeSquares(int step, int left, int top) {
    static constexpr COLORREF colors[] = {RGB(0, 128, 0), RGB(0, 0, 160), RGB(200, 0, 0)};
    for (int i = 0; i < 3; ++i)
        fraSteps(step).AddShape({left + i * 240, top, 135, 135}, colors[i]);
}

void WizardFrame::AddProgressDisplay(int step, HWND caption) {
    // Below the step's heading and text, above the line at its foot.
    progress_.at(static_cast<size_t>(step)) =
        std::make_unique<ProgressDisplay>(fraSteps(step), TwipsRect{240, 1320, 5900, 1000}, caption);
}

void WizardFrame::ShowProgress(const ProgressView& view) {
    if (ProgressDisplay* display = progress_.at(static_cast<size_t>(front_)).get())
        display->Show(view);
}

COLORREF WizardFrame::shpStepsColor(int step) const { return picWiz_->ShapeColor(markers_.at(static_cast<size_t>(step))); }

void WizardFrame::BringPanelToFront(int step) {
    // Only the panel in front is shown: the others are hidden, so none can paint over it.
    HWND front = panels_.at(static_cast<size_t>(step))->Hwnd();
    SetWindowPos(front, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    for (const auto& panel : panels_) {
        if (panel->Hwnd() != front)
            ShowWindow(panel->Hwnd(), SW_HIDE);
    }
    front_ = step;
    UpdateWindow(front);
    FocusStep();
}

void WizardFrame::Show() {
    ShowWindow(Hwnd(), SW_SHOW);
    SetForegroundWindow(Hwnd());
    UpdateWindow(Hwnd());
    FocusStep();
}

void WizardFrame::ShowModal() {
    Show();
    MSG msg;
    while (IsWindow(Hwnd()) && IsWindowVisible(Hwnd())) {
        BOOL got = GetMessageW(&msg, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0)
                PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        if (IsDialogMessageW(Hwnd(), &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

HWND WizardFrame::FrameButton(int id) const {
    switch (id) {
    case IdCancel:
        return cmdCancel_;
    case IdBack:
        return cmdBack_;
    case IdNext:
        return cmdNext_;
    case IdFinish:
        return cmdFinish_;
    default:
        return nullptr;
    }
}

void WizardFrame::OnCommand(int id, int code) {
    // A click that was queued before its button was disabled (the second of a hasty
    // double click, handled during a yield) no longer counts.
    if (HWND button = FrameButton(id); button && !IsEnabled(button))
        return;
    switch (id) {
    case IdCancel:
        cmdCancel_Click();
        return;
    case IdBack:
        cmdBack_Click();
        return;
    case IdNext:
        cmdNext_Click();
        return;
    case IdFinish:
        cmdFinish_Click();
        return;
    case IDOK:  // Enter, from the message loop's dialog keys
        PressDefault();
        return;
    case IDCANCEL:  // Esc
        if (IsEnabled(cmdCancel_))
            cmdCancel_Click();
        return;
    default:
        OnControlCommand(id, code);
        return;
    }
}

LRESULT WizardFrame::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_COMMAND:
        RunEventHandler([&] { OnCommand(LOWORD(wParam), HIWORD(wParam)); });
        return 0;
    case WM_CLOSE:
        // Nothing else is on screen once a wizard is open: closing it ends the program,
        // as Cancel does.
        cmdCancel_Click();
        return 0;
    default:
        return Window::OnMessage(msg, wParam, lParam);
    }
}
