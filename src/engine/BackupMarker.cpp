#include "engine/BackupMarker.h"

#include <cwchar>
#include <string_view>

#include "files/ExistingFolder.h"
#include "files/FileOps.h"
#include "files/MIni.h"
#include "runtime/TextConv.h"

namespace {

const wchar_t kSection[] = L"Backup";
const wchar_t kVersionKey[] = L"Version";
const wchar_t kLocationKey[] = L"Backup_Location";
const wchar_t kVersion[] = L"Tarnwick";

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
    wchar_t date[16];
    swprintf(date, 16, L"%04u.%02u.%02u", static_cast<unsigned>(localDate.wYear),
             static_cast<unsigned>(localDate.wMonth), static_cast<unsigned>(localDate.wDay));
    return folderText + L"\\Tarnwick_" + date + L".BAK";
}

std::wstring MarkerPathToday(const std::wstring& folderText) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return MarkerPath(folderText, now);
}

std::wstring WriteMarker(const std::wstring& folder) {
    const std::wstring path = MarkerPathToday(folder);
    const std::wstring temporary = path + L".new";
    std::string earlier;
    FileResult started = ReadSmallFile(path, earlier) ? WriteWholeFile(temporary, earlier) : DeleteTree(temporary);
    if (!started.Ok())
        return path;  // the read-back finds no marker
    WriteMarkerVersion(temporary);
    WriteMarkerLocation(temporary, folder);
    // The platform may still hold the file's content in its cache: written out first.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, temporary.c_str());
    FileResult placed = FlushFile(temporary);
    if (placed.Ok())
        placed = ReplaceWithFile(temporary, path);
    if (!placed.Ok())
        DeleteFileW(temporary.c_str());
    return path;
}

bool MarkerReadsBack(const std::wstring& markerPath, const std::wstring& folder) {
    // The platform may answer from its cache of the file: release it, so that what is
    // read is what the disk holds.
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, markerPath.c_str());
    return IsTarnwickVersion(ReadMarkerVersion(markerPath)) && ReadMarkerLocation(markerPath) == folder;
}

namespace {

const char kAbsent[] = "absent";
const char kUnreadable[] = "unreadable";
const char kBytes[] = "bytes:";
const char kHexDigits[] = "0123456789abcdef";

}  // namespace

MarkerSnapshot::MarkerSnapshot(std::wstring markerPath) : path_(std::move(markerPath)) {
    existed_ = EntryExists(path_);
    readable_ = existed_ && ReadSmallFile(path_, bytes_);
}

MarkerSnapshot MarkerSnapshot::Decode(std::wstring markerPath, const std::string& encoded) {
    MarkerSnapshot snapshot;
    snapshot.path_ = std::move(markerPath);
    if (encoded == kAbsent)
        return snapshot;
    snapshot.existed_ = true;
    if (encoded.rfind(kBytes, 0) != 0)
        return snapshot;  // unreadable then: it is left as it is
    std::string_view hex = std::string_view(encoded).substr(sizeof kBytes - 1);
    auto digit = [](char c) { return static_cast<int>(std::string_view(kHexDigits).find(c)); };
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        int high = digit(hex[i]), low = digit(hex[i + 1]);
        if (high < 0 || low < 0)
            return snapshot;  // not what Encode wrote: treated as unreadable
        snapshot.bytes_.push_back(static_cast<char>(high * 16 + low));
    }
    snapshot.readable_ = hex.size() % 2 == 0;
    return snapshot;
}

std::string MarkerSnapshot::Encode() const {
    if (!existed_)
        return kAbsent;
    if (!readable_)
        return kUnreadable;
    std::string text = kBytes;
    for (char c : bytes_) {
        auto byte = static_cast<unsigned char>(c);
        text += kHexDigits[byte >> 4];
        text += kHexDigits[byte & 15];
    }
    return text;
}

void MarkerSnapshot::Restore() const {
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, path_.c_str());
    // A marker that could not be read could not have been rewritten either.
    if (readable_)
        (void)WriteFileDurably(path_, bytes_);
    else if (!existed_ && EntryExists(path_) && !IsExistingFolder(path_))
        DeleteFileW(path_.c_str());
    DeleteFileW((path_ + L".new").c_str());  // what a write cut short left
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
