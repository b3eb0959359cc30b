#include "files/clsFileSystem.h"

#include <shlwapi.h>

#include <cstdint>
#include <vector>

#include "files/DirSearch.h"
#include "files/FileChannels.h"
#include "files/FileOps.h"
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

// bytes / 1024 with four decimals, rounded half to even, without trailing zeros.
std::wstring KilobytesText(std::uint64_t bytes) {
    // bytes / 1024 * 10000 = bytes * 625 / 64, exactly.
    const std::uint64_t scaled = bytes * 625;
    std::uint64_t tenThousandths = scaled / 64;
    const std::uint64_t remainder = scaled % 64;
    if (remainder > 32 || (remainder == 32 && (tenThousandths & 1)))
        ++tenThousandths;
    std::wstring text = std::to_wstring(tenThousandths / 10000);
    std::wstring decimals = std::to_wstring(tenThousandths % 10000 + 10000).substr(1);
    while (!decimals.empty() && decimals.back() == L'0')
        decimals.pop_back();
    if (decimals.empty())
        return text;
    wchar_t separator[8] = L".";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return text + separator + decimals;
}

std::wstring FormattedDate(const SYSTEMTIME& time) {
    wchar_t text[128];
    int len = GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &time, nullptr, text, 128, nullptr);
    return len > 0 ? std::wstring(text, static_cast<size_t>(len - 1)) : std::wstring();
}

std::wstring FormattedTime(const SYSTEMTIME& time) {
    wchar_t text[128];
    int len = GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &time, nullptr, text, 128);
    return len > 0 ? std::wstring(text, static_cast<size_t>(len - 1)) : std::wstring();
}

// The locale's general date form: short date, then the time unless it is midnight.
std::wstring GeneralDateText(const SYSTEMTIME& time) {
    if (time.wHour == 0 && time.wMinute == 0 && time.wSecond == 0)
        return FormattedDate(time);
    return FormattedDate(time) + L" " + FormattedTime(time);
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
    if (CopyOneFile(Source, Destination).Ok())
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
        // A file service that yields: it runs on the window thread, and windows repaint while a deep path is made.
        DoEvents();
        if (!exists && !CreateDirectoryW(candidate.c_str(), nullptr))
            ThrowLastError(kSource);
        start = end + 1;
    }
}

void clsFileSystem::Save(const std::wstring& FileName) const {
    if (!FileReal(FileName))
        return;
    if (MsgBox(texts::OverwriteFile, MsgButtons::YesNo) == MsgResult::Yes)
        DeleteFile(FileName);
}

std::wstring clsFileSystem::GetFileSize(const std::wstring& FileName) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(FileName.c_str(), GetFileExInfoStandard, &data))
        return L"0B";
    std::uint64_t bytes = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (bytes < 1024)
        return std::to_wstring(bytes) + L"B";
    return KilobytesText(bytes) + L"KB";
}

std::wstring clsFileSystem::GetAttrib(const std::wstring& FileName) const {
    DWORD attributes = GetFileAttributesW(FileName.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return L"Unknown";
    // The bits the program knows, 1 to 64; "normal" (128) stands for none of them.
    const DWORD word = attributes & 0x7F;
    const std::pair<DWORD, const wchar_t*> names[] = {
        {0, L"Normal"},   {1, L"ReadOnly"},   {2, L"Hidden"},   {4, L"System"},
        {8, L"Volume"},   {16, L"Directory"}, {32, L"Archive"}, {64, L"Alias"},
    };
    for (const auto& [value, name] : names) {
        if (word == value)
            return name;
    }
    return std::to_wstring(word);
}

void clsFileSystem::SetHidden(const std::wstring& FileName) const {
    SetFileAttributesW(FileName.c_str(), FILE_ATTRIBUTE_HIDDEN);
}

void clsFileSystem::SetReadOnly(const std::wstring& FileName) const {
    SetFileAttributesW(FileName.c_str(), FILE_ATTRIBUTE_READONLY);
}

void clsFileSystem::SetSystem(const std::wstring& FileName) const {
    SetFileAttributesW(FileName.c_str(), FILE_ATTRIBUTE_SYSTEM);
}

void clsFileSystem::SetNormal(const std::wstring& FileName) const {
    SetFileAttributesW(FileName.c_str(), FILE_ATTRIBUTE_NORMAL);
}

std::wstring clsFileSystem::GetFileDate(const std::wstring& FileName) const {
    WIN32_FILE_ATTRIBUTE_DATA data;
    SYSTEMTIME utc;
    SYSTEMTIME local;
    if (!GetFileAttributesExW(FileName.c_str(), GetFileExInfoStandard, &data) ||
        !FileTimeToSystemTime(&data.ftLastWriteTime, &utc) ||
        !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        return L"";
    return GeneralDateText(local);
}

bool clsFileSystem::MoveFile(const std::wstring& Source, const std::wstring& Destination) const {
    if (::CopyFileW(Source.c_str(), Destination.c_str(), FALSE) && ::DeleteFileW(Source.c_str()))
        return true;
    MsgBox(texts::ErrorMovingFile);
    return false;
}

void clsFileSystem::MakeDIR(const std::wstring& Path) const { CreateDirectoryW(Path.c_str(), nullptr); }

bool clsFileSystem::RemoveDIR(const std::wstring& Path) const {
    if (RemoveDirectoryW(Path.c_str()))
        return true;
    MsgBox(texts::ErrorRemovingDirectory);
    return false;
}

void clsFileSystem::CloseAllFiles() const { FileChannels::CloseAll(); }

std::wstring clsFileSystem::GetFileBaseName(const std::wstring& FileName, bool IncludePath) const {
    size_t start = 0;
    size_t end = FileName.size();  // one past the name; moves left of the rightmost dot
    bool dotSeen = false;
    for (size_t i = FileName.size(); i-- > 0;) {
        const wchar_t c = FileName[i];
        if (c == L'.' && IncludePath)
            return FileName.substr(0, i);
        if (c == L'.' && !dotSeen) {
            end = i;
            dotSeen = true;
        }
        if (c == L'\\' || c == L':') {
            start = IncludePath ? 0 : i + 1;
            break;
        }
    }
    return end > start ? FileName.substr(start, end - start) : std::wstring();
}

std::wstring clsFileSystem::GetPath(const std::wstring& PathFile) const {
    size_t sep = PathFile.rfind(L'\\');
    return sep == std::wstring::npos ? std::wstring(L"\\") : PathFile.substr(0, sep + 1);
}

std::wstring clsFileSystem::GetAllSubdirectories(std::wstring RootDir, bool /*Recurse*/,
                                                 const StatusLine& status) const {
    std::wstring list;
    ScanFolder(RootDir, status, list);
    return list;
}

void clsFileSystem::ScanFolder(const std::wstring& folder, const StatusLine& status, std::wstring& list) {
    if (status)
        status(texts::ScanningFolder + folder);
    // A yield per folder: the scan runs on the window thread, and its status line is painted as it goes.
    DoEvents();
    const std::wstring prefix = (!folder.empty() && folder.back() == L'\\') ? folder : folder + L"\\";

    // The whole listing first, then the scans below it, each appending to the one list:
    // nothing already in the list is looked at again.
    std::vector<std::wstring> subfolders;
    DirSearch search(prefix, FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);
    for (DirEntry entry; search.Next(entry);) {
        if (entry.IsFolder() && !entry.IsDotEntry())
            subfolders.push_back(prefix + entry.name);
    }
    for (const auto& subfolder : subfolders) {
        list += subfolder;
        list += L';';
    }
    for (const auto& subfolder : subfolders)
        ScanFolder(subfolder + L"\\", status, list);
}
