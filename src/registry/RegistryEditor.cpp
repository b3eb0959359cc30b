#include "registry/RegistryEditor.h"

#include <windows.h>

#include "runtime/AppError.h"
#include "runtime/Handles.h"

namespace {

constexpr wchar_t EditorCommand[] = L"C:\\Windows\\Regedit.exe";
constexpr wchar_t Source[] = L"RegistryEditor";

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

}  // namespace

std::wstring RegistryExportCommandLine(const std::wstring& fileLocation, const std::wstring& keyPath) {
    return std::wstring(EditorCommand) + L" /e " + Quoted(fileLocation) + L" " + Quoted(keyPath);
}

std::wstring RegistryImportCommandLine(const std::wstring& file) {
    return std::wstring(EditorCommand) + L" /s " + file;
}

void StartProgramMinimized(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION started{};
    std::wstring mutableLine = commandLine;  // CreateProcessW may write into it
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &started))
        ThrowLastError(Source);
    // Not waited for: the handles only need closing.
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
}

void StartRegistryExport(const std::wstring& fileLocation, const std::wstring& keyPath) {
    StartProgramMinimized(RegistryExportCommandLine(fileLocation, keyPath));
}

void StartRegistryImport(const std::wstring& file) { StartProgramMinimized(RegistryImportCommandLine(file)); }

RegistryValue GetDefaultWordProcessor() {
    return clsRegistry().GetValue(HkeyLocalMachine, L"SOFTWARE\\Classes\\Quillset.Document\\CurVer", L"", L"");
}
