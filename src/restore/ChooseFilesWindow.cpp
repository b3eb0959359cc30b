#include "restore/ChooseFilesWindow.h"

#include <commctrl.h>

#include <string>

#include "engine/jobs/JobDescription.h"
#include "runtime/Texts.h"

namespace {

enum ControlId { IdList = 100, IdSelectAll, IdClearAll };

ChooseFilesHook& Hook() {
    static ChooseFilesHook hook;
    return hook;
}

struct Choosing {
    const std::vector<RestoreChange>* changes;
    std::vector<bool> ticks;
    HWND list = nullptr;
};

// The dialog's layout in dialog units: the list above, the buttons in a row below it.
constexpr int kWidth = 420, kHeight = 220, kMargin = 7, kButtonWidth = 60, kButtonHeight = 14;

RECT DialogUnits(HWND dialog, int x, int y, int cx, int cy) {
    RECT rect{x, y, x + cx, y + cy};
    MapDialogRect(dialog, &rect);
    return rect;
}

HWND AddChild(HWND dialog, const wchar_t* cls, const wchar_t* text, DWORD style, int id, RECT at) {
    HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, at.left, at.top, at.right - at.left,
                                 at.bottom - at.top, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleW(nullptr), nullptr);
    SendMessageW(child, WM_SETFONT, SendMessageW(dialog, WM_GETFONT, 0, 0), TRUE);
    return child;
}

std::wstring Stamp(const std::optional<FileStamp>& stamp) { return stamp ? DescribeStamp(*stamp) : std::wstring(); }

void FillList(HWND list, const std::vector<RestoreChange>& changes) {
    ListView_SetExtendedListViewStyle(list, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    const wchar_t* headings[] = {texts::ChooseColumnName, texts::ChooseColumnChange, texts::ChooseColumnSet,
                                 texts::ChooseColumnGame};
    const int widths[] = {190, 60, 180, 180};
    for (int i = 0; i < 4; ++i) {
        LVCOLUMNW column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.cx = widths[i];
        column.pszText = const_cast<wchar_t*>(headings[i]);
        ListView_InsertColumn(list, i, &column);
    }
    for (size_t row = 0; row < changes.size(); ++row) {
        const RestoreChange& change = changes[row];
        std::wstring name = change.name + (change.folder ? L"\\" : L"");
        std::wstring word = ChangeWord(change.kind);
        std::wstring set = Stamp(change.set), game = Stamp(change.game);
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = name.data();
        ListView_InsertItem(list, &item);
        ListView_SetItemText(list, static_cast<int>(row), 1, word.data());
        ListView_SetItemText(list, static_cast<int>(row), 2, set.data());
        ListView_SetItemText(list, static_cast<int>(row), 3, game.data());
        ListView_SetCheckState(list, static_cast<int>(row), TRUE);
    }
    ListView_SetItemState(list, 0, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
}

void TickAll(HWND list, bool tick) {
    for (int row = 0, rows = ListView_GetItemCount(list); row < rows; ++row)
        ListView_SetCheckState(list, row, tick ? TRUE : FALSE);
}

INT_PTR CALLBACK ChooseProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* choosing = reinterpret_cast<Choosing*>(GetWindowLongPtrW(dialog, DWLP_USER));
    switch (message) {
    case WM_INITDIALOG: {
        choosing = reinterpret_cast<Choosing*>(lParam);
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        SetWindowTextW(dialog, texts::ChooseTitle);
        const int buttonsTop = kHeight - kMargin - kButtonHeight;
        choosing->list = AddChild(dialog, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP,
                                  IdList, DialogUnits(dialog, kMargin, kMargin, kWidth - 2 * kMargin, buttonsTop - 2 * kMargin));
        AddChild(dialog, L"BUTTON", texts::ChooseSelectAll, BS_PUSHBUTTON | WS_TABSTOP, IdSelectAll,
                 DialogUnits(dialog, kMargin, buttonsTop, kButtonWidth, kButtonHeight));
        AddChild(dialog, L"BUTTON", texts::ChooseClearAll, BS_PUSHBUTTON | WS_TABSTOP, IdClearAll,
                 DialogUnits(dialog, 2 * kMargin + kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight));
        AddChild(dialog, L"BUTTON", texts::ButtonOk, BS_DEFPUSHBUTTON | WS_TABSTOP, IDOK,
                 DialogUnits(dialog, kWidth - 2 * (kMargin + kButtonWidth), buttonsTop, kButtonWidth, kButtonHeight));
        AddChild(dialog, L"BUTTON", texts::ButtonCancel, BS_PUSHBUTTON | WS_TABSTOP, IDCANCEL,
                 DialogUnits(dialog, kWidth - kMargin - kButtonWidth, buttonsTop, kButtonWidth, kButtonHeight));
        FillList(choosing->list, *choosing->changes);
        SetFocus(choosing->list);
        return FALSE;  // the focus is set
    }
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IdSelectAll:
        case IdClearAll:
            TickAll(choosing->list, LOWORD(wParam) == IdSelectAll);
            return TRUE;
        case IDOK:
            for (int row = 0, rows = ListView_GetItemCount(choosing->list); row < rows; ++row)
                choosing->ticks.push_back(ListView_GetCheckState(choosing->list, row) != 0);
            EndDialog(dialog, IDOK);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        default:
            return FALSE;
        }
    default:
        return FALSE;
    }
}

// A dialog template with no controls of its own (they are made when it starts), in the
// shell's dialog font, which the dialog units are measured in.
std::vector<WORD> EmptyTemplate() {
    std::vector<WORD> words(sizeof(DLGTEMPLATE) / sizeof(WORD) + 3, 0);  // no menu, class or title
    auto* dialog = reinterpret_cast<DLGTEMPLATE*>(words.data());
    dialog->style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    dialog->cx = kWidth;
    dialog->cy = kHeight;
    words.push_back(8);  // points
    for (const wchar_t* c = L"MS Shell Dlg"; *c; ++c)
        words.push_back(static_cast<WORD>(*c));
    words.push_back(0);
    return words;
}

}  // namespace

std::optional<std::vector<bool>> ChooseFilesToRestore(HWND owner, const std::vector<RestoreChange>& changes) {
    if (Hook())
        return Hook()(changes);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    Choosing choosing{&changes, {}};
    std::vector<WORD> dialog = EmptyTemplate();
    INT_PTR ended = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), reinterpret_cast<DLGTEMPLATE*>(dialog.data()),
                                            owner, ChooseProc, reinterpret_cast<LPARAM>(&choosing));
    if (ended != IDOK)
        return std::nullopt;
    return choosing.ticks;
}

ChooseFilesHook SetChooseFilesHook(ChooseFilesHook hook) {
    ChooseFilesHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
