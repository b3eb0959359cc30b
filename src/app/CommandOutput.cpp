#include "app/CommandOutput.h"

#include <knownfolders.h>


#include "files/FileOps.h"
#include "files/KnownFolder.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"
#include "runtime/TimeText.h"
#include "runtime/WineHost.h"

namespace {

bool IsUsable(HANDLE handle) { return handle && handle != INVALID_HANDLE_VALUE; }

bool WriteAll(HANDLE handle, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// Lines as Unix programs read them: a crontab line taken with tail keeps no CR.
std::wstring WithUnixLineEnds(std::wstring text) {
    for (size_t at = text.find(L"\r\n"); at != std::wstring::npos; at = text.find(L"\r\n", at))
        text.erase(at, 1);
    return text;
}

void WriteTo(HANDLE handle, const std::wstring& text) {
    DWORD mode = 0;
    DWORD written = 0;
    // A console takes the characters as they are; a file or pipe gets UTF-8, under Wine
    // (where the reader is a Linux shell, cron or tail) with its lines ended by LF alone.
    if (GetConsoleMode(handle, &mode))
        WriteConsoleW(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    else
        WriteAll(handle, Narrow(WineVersion() ? WithUnixLineEnds(text) : text));
}

}  // namespace

void WriteToConsole(const std::wstring& text) {
    // A windowed program has standard output only where it was redirected; else the
    // console of the program that started it, if that one has a console.
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (IsUsable(out)) {
        WriteTo(out, text);
        return;
    }
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    FileHandle console(
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (console)
        WriteTo(console.Get(), text);
}

std::wstring CommandLogPath() {
    std::wstring base = KnownFolderPath(FOLDERID_LocalAppData);
    if (base.empty())
        return base;
    return base + L"\\Glimmerfen Studios\\Backup Tarnwick\\log.txt";
}

DWORD AppendToLog(const std::wstring& logPath, const SYSTEMTIME& t, const std::wstring& line) {
    if (logPath.empty())
        return ERROR_PATH_NOT_FOUND;
    if (FileResult folder = MakeFolderPath(logPath.substr(0, logPath.find_last_of(L'\\'))); !folder.Ok())
        return folder.error;
    // Appended as one write: two jobs that end together each keep their line whole.
    FileHandle log(CreateFileW(logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!log)
        return GetLastError();
    if (!WriteAll(log.Get(), Narrow(TimeText(t, L"YYYY-MM-DD hh:mm:ss  ") + line + L"\r\n")))
        return GetLastError();
    return ERROR_SUCCESS;
}
