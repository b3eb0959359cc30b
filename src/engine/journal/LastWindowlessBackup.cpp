#include "engine/journal/LastWindowlessBackup.h"

#include <vector>

#include "files/KnownFolder.h"
#include "runtime/TextConv.h"
#include "runtime/TimeText.h"

namespace {

const char kHeading[] = "Backup Tarnwick last windowless backup";
const char* const kKeys[] = {"time", "folder", "exit", "reason", "line", "completedSince"};

const wchar_t kTimeShape[] = L"YYYY-MM-DD hh:mm:ss";

// A value on one line: line breaks a printed line may hold become spaces.
std::string OneLine(const std::wstring& value) {
    std::string text = Narrow(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

}  // namespace

std::wstring LastWindowlessBackupPath() {
    std::wstring base = KnownFolderPath(FOLDERID_LocalAppData);
    if (base.empty())
        return base;
    return base + L"\\Glimmerfen Studios\\Backup Tarnwick\\last windowless backup.txt";
}

FileResult RecordWindowlessBackup(const std::wstring& path, const WindowlessBackup& backup) {
    const std::wstring values[] = {TimeText(backup.time, kTimeShape), backup.folder, std::to_wstring(backup.exitCode),
                                   backup.reason, backup.line, backup.completedSince ? L"1" : L"0"};
    std::string text = std::string(kHeading) + "\r\n";
    for (size_t i = 0; i < std::size(kKeys); ++i)
        text += std::string(kKeys[i]) + "=" + OneLine(values[i]) + "\r\n";
    const size_t cut = path.find_last_of(L'\\');
    if (cut != std::wstring::npos) {
        if (FileResult made = MakeFolderPath(path.substr(0, cut)); !made.Ok())
            return made;
    }
    return WriteFileDurably(path, text);
}

std::optional<WindowlessBackup> ReadWindowlessBackup(const std::wstring& path) {
    std::string text;
    if (!ReadSmallFile(path, text) || text.size() > 64 * 1024)
        return std::nullopt;
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = text.find("\r\n", at);
        if (end == std::string::npos)
            return std::nullopt;  // cut short: every line ends in CR LF
        lines.push_back(text.substr(at, end - at));
        at = end + 2;
    }
    if (lines.size() != std::size(kKeys) + 1 || lines[0] != kHeading)
        return std::nullopt;
    std::wstring values[std::size(kKeys)];
    for (size_t i = 0; i < std::size(kKeys); ++i) {
        const std::string prefix = std::string(kKeys[i]) + "=";
        if (lines[i + 1].compare(0, prefix.size(), prefix) != 0)
            return std::nullopt;
        values[i] = Widen(lines[i + 1].substr(prefix.size()));
    }
    WindowlessBackup backup;
    std::optional<SYSTEMTIME> time = ParseTimeText(values[0], kTimeShape);
    if (!time || values[1].empty() || values[2].size() != 1 || values[2][0] < L'0' || values[2][0] > L'3' ||
        (values[5] != L"0" && values[5] != L"1"))
        return std::nullopt;
    backup.time = *time;
    backup.folder = values[1];
    backup.exitCode = values[2][0] - L'0';
    backup.reason = values[3];
    backup.line = values[4];
    backup.completedSince = values[5] == L"1";
    return backup;
}

void NoteBackupCompleted(const std::wstring& path) {
    std::optional<WindowlessBackup> last = ReadWindowlessBackup(path);
    if (!last || !last->FailureStands())
        return;
    last->completedSince = true;
    (void)RecordWindowlessBackup(path, *last);
}
