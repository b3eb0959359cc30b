#include "BackupSet.h"

#include "E2eError.h"
#include "GameData.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"

namespace {

std::string AnsiOf(const std::wstring& text) {
    int len = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(len), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), len, nullptr, nullptr);
    return out;
}

std::string Utf16Bytes(const std::wstring& text) {
    std::string out("\xFF\xFE", 2);
    out.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return out;
}

std::wstring Printable(const std::string& bytes) {
    std::wstring out;
    for (unsigned char c : bytes) {
        if (c == '\r')
            out += L"\\r";
        else if (c == '\n')
            out += L"\\n";
        else if (c < 0x20 || c >= 0x7F)
            out += L"\\x" + std::to_wstring(c);
        else
            out += static_cast<wchar_t>(c);
    }
    return out;
}

void ThrowIfAny(const std::wstring& heading, const std::vector<std::wstring>& problems) {
    if (problems.empty())
        return;
    std::wstring message = heading;
    for (const auto& problem : problems)
        message += L"\n  " + problem;
    throw E2eError(message);
}

}  // namespace

std::wstring MarkerName(const SYSTEMTIME& date) {
    wchar_t name[64];
    wsprintfW(name, L"Tarnwick_%04u.%02u.%02u.BAK", date.wYear, date.wMonth, date.wDay);
    return name;
}

std::string ExpectedMarkerBytes(const std::wstring& setFolder, const std::wstring& madeUtc) {
    std::wstring text =
        L"[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=" + setFolder + L"\r\nMade_UTC=" + madeUtc + L"\r\n";
    // A folder the ANSI code page cannot hold is kept in a UTF-16 marker, which the
    // platform's profile functions read back unchanged.
    return FitsAnsiCodePage(setFolder) ? AnsiOf(text) : Utf16Bytes(text);
}

std::vector<std::wstring> MarkerFiles(const std::wstring& setFolder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((setFolder + L"\\Tarnwick_*.BAK").c_str(), &data));
    if (!find)
        return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(data.cFileName);
    } while (FindNextFileW(find.Get(), &data));
    return names;
}

std::wstring MarkerLocation(const std::wstring& markerPath) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(L"Backup", L"Backup_Location", L"", value, 1024, markerPath.c_str());
    return value;
}

void VerifyBackupSet(const FileTree& gameData, const std::wstring& setFolder,
                     const std::vector<std::wstring>& acceptedMarkerNames) {
    std::vector<std::wstring> problems;
    for (const auto& difference : CompareTrees(gameData, GameDataOf(setFolder)))
        problems.push_back(L"backup set: " + difference);
    for (const wchar_t* name : kGameDataFolders)
        if (!IsFolder(setFolder + L"\\" + name))
            problems.push_back(std::wstring(L"backup set: no folder ") + name);

    std::vector<std::wstring> markers = MarkerFiles(setFolder);
    if (markers.size() != 1) {
        problems.push_back(L"expected one marker file, found " + std::to_wstring(markers.size()));
        ThrowIfAny(L"the backup set in " + setFolder + L" is not right:", problems);
    }
    bool nameAccepted = false;
    for (const auto& name : acceptedMarkerNames)
        nameAccepted = nameAccepted || name == markers[0];
    if (!nameAccepted)
        problems.push_back(L"marker named " + markers[0] + L", expected " + acceptedMarkerNames.front());
    std::string bytes = ReadBytes(setFolder + L"\\" + markers[0]);
    // When the set was made, in UTC, as "2026-12-08T20:00:00Z".
    wchar_t made[64] = {};
    GetPrivateProfileStringW(L"Backup", L"Made_UTC", L"", made, 64, (setFolder + L"\\" + markers[0]).c_str());
    const std::wstring madeUtc = made;
    if (madeUtc.size() != 20 || madeUtc[10] != L'T' || madeUtc.back() != L'Z')
        problems.push_back(L"the marker's Made_UTC is \"" + madeUtc + L"\"");
    std::string expected = ExpectedMarkerBytes(setFolder, madeUtc);
    if (bytes != expected)
        problems.push_back(L"marker holds \"" + Printable(bytes) + L"\", expected \"" + Printable(expected) + L"\"");
    ThrowIfAny(L"the backup set in " + setFolder + L" is not right:", problems);
}

void VerifyRestore(const FileTree& setData, const FileTree& gameBefore, const FileTree& gameAfter) {
    std::vector<std::wstring> problems;
    for (const auto& [key, entry] : setData.Entries()) {
        std::wstring difference = DifferenceOf(entry, gameAfter.Find(entry.relativePath));
        if (!difference.empty())
            problems.push_back(L"not restored: " + difference);
    }
    for (const auto& [key, entry] : gameBefore.Entries()) {
        if (setData.Find(entry.relativePath))
            continue;
        std::wstring difference = DifferenceOf(entry, gameAfter.Find(entry.relativePath));
        if (!difference.empty())
            problems.push_back(L"touched though the set lacks it: " + difference);
    }
    ThrowIfAny(L"the game folder after the restore is not right:", problems);
}
