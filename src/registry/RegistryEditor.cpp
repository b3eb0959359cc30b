#include "registry/RegistryEditor.h"

#include <windows.h>

#include "runtime/AppError.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

constexpr wchar_t EditorCommand[] = L"C:\\Windows\\Regedit.exe";
constexpr wchar_t Source[] = L"RegistryEditor";

// One argument of the editor's command line in double quotes. A quote inside it would end
// the argument early, and a "\" before the closing quote escapes that quote, so either way
// the editor would read another argument than the one given: such a text is refused.
std::wstring Quoted(const std::wstring& text, const wchar_t* operation) {
    if (text.find(L'"') != std::wstring::npos || (!text.empty() && text.back() == L'\\'))
        throw AppError(ERROR_INVALID_NAME, Source, FillIn(texts::RegistryArgumentUnquotable, {operation, text}));
    return L"\"" + text + L"\"";
}

}  // namespace

std::wstring RegistryExportCommandLine(const std::wstring& fileLocation, const std::wstring& keyPath) {
    return std::wstring(EditorCommand) + L" /e " + Quoted(fileLocation, L"RegBackup") + L" " +
           Quoted(keyPath, L"RegBackup");
}

std::wstring RegistryImportCommandLine(const std::wstring& file) {
    return std::wstring(EditorCommand) + L" /s " + Quoted(file, L"RegRestore");
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
