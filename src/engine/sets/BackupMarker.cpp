#include "engine/sets/BackupMarker.h"

#include <string_view>

#include "files/ExistingFolder.h"
#include "files/FileOps.h"
#include "files/MIni.h"
#include "runtime/TextConv.h"
#include "runtime/TimeText.h"

namespace {

const wchar_t kSection[] = L"Backup";
const wchar_t kVersionKey[] = L"Version";
const wchar_t kLocationKey[] = L"Backup_Location";
const wchar_t kVersion[] = L"Tarnwick";
const wchar_t kMadeKey[] = L"Made_UTC";
const wchar_t kMadeShape[] = L"YYYY-MM-DDThh:mm:ssZ";

const char kUtf16Bom[] = "\xFF\xFE";

// ANSI bytes as the platform wrote them, re-encoded as UTF-16LE behind a byte-order mark.
std::string AnsiToUtf16File(const std::string& ansi) {
    std::wstring wide;
    if (!ansi.empty()) {
        int len = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
        wide.resize(static_cast<size_t>(len));
        MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), len);
    }
    std::string bytes(kUtf16Bom, 2);
    for (wchar_t c : wide) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>((c >> 8) & 0xFF));
    }
    return bytes;
}

// The platform's private-profile functions keep a file with a UTF-16LE byte-order mark
// in Unicode; a plain file they write in the ANSI code page.
void MakeMarkerUnicode(const std::wstring& markerPath) {
    std::string content;
    bool readable = ReadSmallFile(markerPath, content);
    if (!readable && EntryExists(markerPath))
        return;  // there but unreadable: the write below fails as it would anyway
    if (readable && std::string_view(content).substr(0, 2) == std::string_view(kUtf16Bom, 2))
        return;
    // The platform may keep the file's old content cached (the three NULLs flush it):
    // the next write must start from the new form, not write the old one back.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, markerPath.c_str());
    // A failure here shows when the marker is read back after writing.
    (void)WriteWholeFile(markerPath, readable ? AnsiToUtf16File(content) : std::string(kUtf16Bom, 2));
}

}  // namespace

std::wstring MarkerPath(const std::wstring& folderText, const SYSTEMTIME& localDate) {
    return folderText + L"\\Tarnwick_" + TimeText(localDate, L"YYYY.MM.DD") + L".BAK";
}

std::wstring MarkerPathToday(const std::wstring& folderText) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return MarkerPath(folderText, now);
}

FileResult WriteMarkerFile(const std::wstring& path, const std::wstring& folder, const std::wstring& earlier) {
    std::string bytes;
    FileResult started = ReadSmallFile(earlier, bytes) ? WriteWholeFile(path, bytes) : DeleteTree(path);
    if (!started.Ok())
        return started;
    WriteMarkerVersion(path);
    WriteMarkerLocation(path, folder);
    WriteMarkerMade(path);
    // The platform may still hold the file's content in its cache: written out first.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path.c_str());
    if (!MarkerReadsBack(path, folder))
        return FileResult::Failure(ERROR_WRITE_FAULT, path);
    return FlushFile(path);
}

std::wstring WriteMarker(const std::wstring& folder) {
    const std::wstring path = MarkerPathToday(folder);
    const std::wstring temporary = path + L".new";
    FileResult placed = WriteMarkerFile(temporary, folder, path);
    if (placed.Ok())
        placed = ReplaceWithFile(temporary, path);
    if (!placed.Ok())
        DeleteFileW(temporary.c_str());  // the read-back finds no marker
    return path;
}

bool MarkerReadsBack(const std::wstring& markerPath, const std::wstring& folder) {
    // The platform may answer from its cache of the file: release it, so that what is
    // read is what the disk holds.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, markerPath.c_str());
    return IsTarnwickVersion(ReadMarkerVersion(markerPath)) && ReadMarkerLocation(markerPath) == folder;
}

void WriteMarkerVersion(const std::wstring& markerPath) { WriteIni(markerPath, kSection, kVersionKey, kVersion); }

void WriteMarkerLocation(const std::wstring& markerPath, const std::wstring& location) {
    if (!FitsAnsiCodePage(location))
        MakeMarkerUnicode(markerPath);
    WriteIni(markerPath, kSection, kLocationKey, location);
}

std::wstring ReadMarkerVersion(const std::wstring& markerPath) { return ReadIni(markerPath, kSection, kVersionKey); }

std::wstring ReadMarkerLocation(const std::wstring& markerPath) {
    return ReadIni(markerPath, kSection, kLocationKey);
}

bool IsTarnwickVersion(const std::wstring& value) { return value == kVersion; }

void WriteMarkerMade(const std::wstring& markerPath) {
    SYSTEMTIME now;
    GetSystemTime(&now);
    WriteIni(markerPath, kSection, kMadeKey, TimeText(now, kMadeShape).c_str());
}

std::optional<std::uint64_t> ReadMarkerMade(const std::wstring& markerPath) {
    std::optional<SYSTEMTIME> made = ParseTimeText(ReadIni(markerPath, kSection, kMadeKey), kMadeShape);
    if (!made)
        return std::nullopt;
    return FileTimeOf(*made);
}
