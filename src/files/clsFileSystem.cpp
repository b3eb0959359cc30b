#include "files/clsFileSystem.h"

#include <shlwapi.h>

#include "files/DirSearch.h"
#include "runtime/AppError.h"
#include "runtime/DoEvents.h"
#include "runtime/MsgBox.h"
#include "runtime/Texts.h"

namespace {

const wchar_t kSource[] = L"clsFileSystem";

// The last `count` characters, or the whole text when it is shorter.
std::wstring Right(const std::wstring& text, size_t count) {
    return count >= text.size() ? text : text.substr(text.size() - count);
}

// The folder part of a path or pattern, with its separator ("" for a bare name).
std::wstring FolderOf(const std::wstring& path) {
    size_t sep = path.find_last_of(L"\\/:");
    return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep + 1);
}

bool DeleteMatching(const std::wstring& pattern) {
    // The same matching as everywhere else: ordinary files only, so a pattern never
    // takes hidden or system files with it.
    const std::wstring folder = FolderOf(pattern);
    bool deletedAny = false;
    try {
        DirSearch search(pattern, 0);
        for (DirEntry entry; search.Next(entry);) {
            if (!::DeleteFileW((folder + entry.name).c_str()))
                return false;
            deletedAny = true;
        }
    } catch (const AppError&) {
        return false;
    }
    return deletedAny;
}

// Anything of that name there already, a file too. A name the search cannot take
// counts as absent: making the folder then fails with the platform's own error.
bool AnythingThere(const std::wstring& path) {
    try {
        return !DirSearch::FirstName(path, FILE_ATTRIBUTE_DIRECTORY).empty();
    } catch (const AppError&) {
        return false;
    }
}

}  // namespace

bool clsFileSystem::FileExist(const std::wstring& strFile) const {
    return PathFileExistsW(strFile.c_str()) == TRUE;
}

bool clsFileSystem::FileReal(const std::wstring& FileName) const {
    try {
        std::wstring found = DirSearch::FirstName(FileName, 0);
        return !found.empty() && found == FileName;
    } catch (const AppError&) {
        return false;
    }
}

std::wstring clsFileSystem::GetFileName(const std::wstring& strPath) const {
    size_t sep = strPath.rfind(L'\\');
    return sep == std::wstring::npos ? strPath : strPath.substr(sep + 1);
}

std::wstring clsFileSystem::GetFileExtension(const std::wstring& FileName) const {
    for (size_t k = 2; k <= 5; ++k) {
        std::wstring tail = Right(FileName, k);
        if (!tail.empty() && tail.front() == L'.')
            return Right(FileName, k - 1);
    }
    return L"Unknown";
}

std::wstring clsFileSystem::LastChar(const std::wstring& strText) const {
    if (strText.empty())
        throw AppError::FromWin32(ERROR_INVALID_PARAMETER, kSource);
    return strText.substr(strText.size() - 1);
}

std::wstring clsFileSystem::sRemoveLastChar(std::wstring sPassString) const {
    if (!sPassString.empty())
        sPassString.pop_back();
    return sPassString;
}

bool clsFileSystem::CopyFile(const std::wstring& Source, const std::wstring& Destination) const {
    if (::CopyFileW(Source.c_str(), Destination.c_str(), FALSE))
        return true;
    MsgBox(texts::ErrorCopyingFile);
    return false;
}

bool clsFileSystem::DeleteFile(const std::wstring& FileName) const {
    if (DeleteMatching(FileName))
        return true;
    MsgBox(texts::ErrorDeletingFile);
    return false;
}

size_t clsFileSystem::FirstComponentStart(const std::wstring& path) {
    // 0-based index of the first folder name below the part taken to exist already.
    if (path.rfind(L"\\\\", 0) == 0) {
        // \\server\share\...: the first component follows the "\" that ends the share.
        size_t serverEnd = path.find(L'\\', 2);
        size_t shareEnd = serverEnd == std::wstring::npos ? serverEnd : path.find(L'\\', serverEnd + 1);
        return shareEnd == std::wstring::npos ? path.size() : shareEnd + 1;
    }
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\')
        return 3;  // drive root
    if (!path.empty() && path[0] == L'\\')
        return 1;  // root of the current drive
    return 0;      // relative to the current folder
}

void clsFileSystem::CreateDirectoryStruct(const std::wstring& CreateThisPath) const {
    if (AnythingThere(CreateThisPath))
        return;
    size_t start = FirstComponentStart(CreateThisPath);
    while (start < CreateThisPath.size()) {
        size_t sep = CreateThisPath.find(L'\\', start);
        size_t end = sep == std::wstring::npos ? CreateThisPath.size() : sep;
        // An empty component (a doubled "\") names the folder just made, which exists.
        std::wstring candidate = CreateThisPath.substr(0, end);
        bool exists = clsFileSystem().FileExist(candidate);
        DoEvents();
        if (!exists && !CreateDirectoryW(candidate.c_str(), nullptr))
            ThrowLastError(kSource);
        start = end + 1;
    }
}
