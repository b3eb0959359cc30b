#include "files/MFile.h"

#include <windows.h>
#include <shellapi.h>

#include "files/TreeCompare.h"
#include "files/clsFileSystem.h"
#include "runtime/AppError.h"
#include "runtime/MousePointer.h"

namespace MFile {

namespace {

// Where the shell puts a single folder source: inside an existing destination folder
// under its own name; otherwise the destination itself becomes the copy.
std::wstring CopyTarget(const clsFileSystem& fs, const std::wstring& source, const std::wstring& destination) {
    DWORD attributes = GetFileAttributesW(destination.c_str());
    bool isFolder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    if (!isFolder && attributes != INVALID_FILE_ATTRIBUTES)
        return destination + L"\\" + fs.GetFileName(source);  // a file in the way: never whole
    if (!isFolder)
        return destination;
    std::wstring joint = (!destination.empty() && destination.back() == L'\\') ? L"" : L"\\";
    return destination + joint + fs.GetFileName(source);
}

// One copy through the shell. True when the shell reports neither an error nor an abort.
bool ShellCopy(const std::wstring& source, const std::wstring& destination) {
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
    return result == 0 && !op.fAnyOperationsAborted;
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
    bool shellOk = ShellCopy(folder, destination);
    std::wstring difference = folder;
    try {
        difference = FirstDifference(folder, target);
    } catch (const AppError&) {
        // A tree that cannot be listed cannot be shown to be whole.
    }
    if (difference.empty() && !shellOk)
        difference = folder;
    return CopyFolderResult{difference.empty(), difference};
}

}  // namespace MFile
