#pragma once
// Module MFile: the folder copy through the shell, and further file procedures.

#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>

namespace MFile {

struct CopyFolderResult {
    bool whole = false;
    // The first source path missing or differing at the destination; empty when whole.
    std::wstring firstDifference;
    // The platform's error that kept the copy from being whole, where one is known.
    DWORD error = ERROR_SUCCESS;
};

// Copies the folder `source` (a trailing "\" is allowed), under its own last name and
// with everything in it, into the existing folder `destination`, through the shell:
// its progress and error windows show, equal names are replaced without a question,
// other files at the destination stay. A missing source is first created empty (an
// AppError when it cannot be). The shell's return value alone cannot tell whether the
// copy is whole, so the two trees are compared afterwards (names, sizes and last-write
// times); what the shell skipped or left stale is then copied file by file, in the
// platform's long-path form, and compared again. A copy the user stopped in the shell's
// window is not whole and is not taken up again.
[[nodiscard]] CopyFolderResult CopyFolder(const std::wstring& source, const std::wstring& destination);


// The open-file dialog. The module keeps one dialog record that every call fills
// again; the filter index stays as the previous call left it.

// Shows the system's open-file dialog, opened in initialFolder (none: the platform's
// choice), and returns the chosen file's full path, or "" after Cancel or when the
// dialog fails. filter lists name|pattern pairs separated by "|".
std::wstring ShowOpenDialog(const std::wstring& title, const std::wstring& filter,
                            const std::wstring& initialFolder = {});

// Turns "name|pattern" into the dialog's form (each "|" a NUL, one more NUL at the end)
// and stores it in the module's record.
void BuildFilter(const std::wstring& filter);

// The module's record as the last call left it (tests look at what the dialog was given).
const OPENFILENAMEW& OpenDialogRecord();

// Tests answer in the user's place: the hook gets the filled record and, like the
// dialog, writes a path into its file buffer and returns TRUE, or returns FALSE
// (Cancel). An empty function restores the real dialog.
using OpenDialogHook = std::function<BOOL(OPENFILENAMEW&)>;
OpenDialogHook SetOpenDialogHook(OpenDialogHook hook);

}  // namespace MFile

// The module's procedures are callable unqualified too, like those of any module.
using MFile::CopyFolder;
using MFile::CopyFolderResult;
using MFile::BuildFilter;
using MFile::OpenDialogRecord;
using MFile::SetOpenDialogHook;
using MFile::ShowOpenDialog;
using MFile::OpenDialogHook;
