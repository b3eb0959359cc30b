#include "files/MFile.h"

#include <windows.h>
#include <commdlg.h>
#include <shellapi.h>

#include "files/ExistingFolder.h"
#include "files/FileOps.h"
#include "files/TreeCompare.h"
#include "files/clsFileSystem.h"
#include "runtime/AppError.h"
#include "runtime/MousePointer.h"

namespace MFile {

namespace {

// Where the shell puts a single folder source: inside an existing destination folder
// under its own name; otherwise the destination itself becomes the copy.
std::wstring CopyTarget(const clsFileSystem& fs, const std::wstring& source, const std::wstring& destination) {
    bool isFolder = IsExistingFolder(destination);
    if (!isFolder && fs.FileExist(destination))
        return destination + L"\\" + fs.GetFileName(source);  // a file in the way: never whole
    if (!isFolder)
        return destination;
    std::wstring joint = (!destination.empty() && destination.back() == L'\\') ? L"" : L"\\";
    return destination + joint + fs.GetFileName(source);
}

enum class ShellOutcome { Done, Failed, Aborted };

// One copy through the shell.
ShellOutcome ShellCopy(const std::wstring& source, const std::wstring& destination) {
    // Each list ends in two NULs: the one added here and the string's own.
    std::wstring from = source + L'\0';
    std::wstring to = destination + L'\0';
    SHFILEOPSTRUCTW op{};
    op.hwnd = nullptr;
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    // Yes to all, make folders without asking. No files-only flag: it does nothing for a
    // folder source on Windows and makes some shells drop every sub-folder.
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    int result = SHFileOperationW(&op);
    if (op.fAnyOperationsAborted)
        return ShellOutcome::Aborted;
    return result == 0 ? ShellOutcome::Done : ShellOutcome::Failed;
}

// Copies every entry that is missing or differs, each on its own, in long-path form.
// Returns the platform's error of the first copy that failed (the check that follows
// finds what is missing), or ERROR_SUCCESS.
DWORD CopyDifferences(const std::wstring& folder, const std::wstring& target) {
    DWORD firstError = ERROR_SUCCESS;
    for (const std::wstring& rel : TreeDifferences(folder, target)) {
        std::wstring from = rel.empty() ? folder : folder + L"\\" + rel;
        std::wstring to = rel.empty() ? target : target + L"\\" + rel;
        FileResult copied = CopyTree(from, to);
        if (!copied.Ok() && firstError == ERROR_SUCCESS)
            firstError = copied.error;
    }
    return firstError;
}

}  // namespace

CopyFolderResult CopyFolder(const std::wstring& source, const std::wstring& destination) {
    HourglassScope busy;
    clsFileSystem fs;
    std::wstring folder = source;
    if (fs.LastChar(folder) == L"\\")
        folder = fs.sRemoveLastChar(folder);
    fs.CreateDirectoryStruct(folder);

    std::wstring target = CopyTarget(fs, folder, destination);
    ShellOutcome shell = ShellCopy(folder, destination);
    // The user stopped the copy in the shell's own window: it is not whole, and it is
    // not taken up again behind the user's back.
    if (shell == ShellOutcome::Aborted)
        return CopyFolderResult{false, folder, ERROR_CANCELLED};
    std::wstring difference = folder;
    DWORD error = ERROR_SUCCESS;
    try {
        // What the shell skipped or could not replace (paths over 260 characters, a
        // stale file left in place) gets a second chance, file by file.
        difference = FirstDifference(folder, target);
        if (!difference.empty()) {
            error = CopyDifferences(folder, target);
            difference = FirstDifference(folder, target);
        }
    } catch (const AppError& e) {
        // A tree that cannot be listed cannot be shown to be whole.
        error = static_cast<DWORD>(e.Number());
    }
    if (difference.empty())
        return CopyFolderResult{true, {}, ERROR_SUCCESS};
    return CopyFolderResult{false, difference, error};
}

namespace {

constexpr DWORD FileBufferChars = 260;

// The one dialog record of the module, with the texts it points into.
struct OpenDialogState {
    OPENFILENAMEW record{};
    std::wstring filter;
    std::wstring title;
    std::wstring defaultExtension;
    std::wstring file;
    std::wstring initialFolder;
    OpenDialogHook hook;
};

OpenDialogState& DialogState() {
    static OpenDialogState state;
    return state;
}

}  // namespace

void BuildFilter(const std::wstring& filter) {
    OpenDialogState& state = DialogState();
    state.filter.clear();
    for (wchar_t c : filter)
        state.filter += c == L'|' ? L'\0' : c;
    state.filter += L'\0';
    // The string's own terminator supplies the second NUL of the double-NUL end.
    state.record.lpstrFilter = state.filter.c_str();
}

std::wstring ShowOpenDialog(const std::wstring& title, const std::wstring& filter, const std::wstring& initialFolder) {
    OpenDialogState& state = DialogState();
    state.initialFolder = initialFolder;
    state.record.lpstrInitialDir = state.initialFolder.empty() ? nullptr : state.initialFolder.c_str();
    state.title = title;
    state.record.lpstrTitle = state.title.c_str();
    // The platform takes the default extension without its dot: with the dot some
    // versions of Windows add a second one to a name typed without extension.
    state.defaultExtension = L"BAK";
    state.record.lpstrDefExt = state.defaultExtension.c_str();
    BuildFilter(filter);
    state.record.hInstance = GetModuleHandleW(nullptr);
    // One NUL, then spaces: the dialog starts with an empty file name.
    state.file.assign(FileBufferChars, L' ');
    state.file[0] = L'\0';
    state.record.lpstrFile = state.file.data();
    state.record.nMaxFile = FileBufferChars;
    state.record.Flags = OFN_HIDEREADONLY;
    // The record without the later extension fields, as the dialog has always taken it.
    state.record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    BOOL chosen = state.hook ? state.hook(state.record) : GetOpenFileNameW(&state.record);
    // After Cancel or a failure (a name longer than the buffer leaves its needed size
    // there) the buffer holds no path.
    if (!chosen)
        return std::wstring();
    return std::wstring(state.file.c_str());
}

const OPENFILENAMEW& OpenDialogRecord() { return DialogState().record; }

OpenDialogHook SetOpenDialogHook(OpenDialogHook hook) {
    OpenDialogHook previous = std::move(DialogState().hook);
    DialogState().hook = std::move(hook);
    return previous;
}

}  // namespace MFile
