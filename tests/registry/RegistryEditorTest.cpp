#include <windows.h>

#include <cstring>
#include <functional>

#include "ScratchKey.h"
#include "TestSupport.h"
#include "registry/Class1.h"
#include "registry/RegistryEditor.h"
#include "registry/clsRegistry.h"
#include "runtime/AppError.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"

namespace {

const std::wstring Editor = L"C:\\Windows\\Regedit.exe";
const std::wstring ScratchKeyFullPath = L"HKEY_CURRENT_USER\\" + ScratchKeyPath;
const wchar_t ReportShowVariable[] = L"BKTRNWCK_REPORT_SHOW";

// Started as the child of the window-style test (the variable names a file), this test
// program writes how it was asked to show its window and ends before any test runs.
const bool ChildReportedShowWindow = [] {
    wchar_t file[MAX_PATH];
    if (!GetEnvironmentVariableW(ReportShowVariable, file, MAX_PATH))
        return false;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    WriteTextFile(file, std::to_string(startup.dwFlags & STARTF_USESHOWWINDOW) + " " +
                            std::to_string(startup.wShowWindow));
    ExitProcess(0);
}();

// Polls until ready() holds or half a minute has passed: the editor runs on its own.
bool WaitUntil(const std::function<bool()>& ready) {
    for (int i = 0; i < 600; ++i) {
        if (ready())
            return true;
        Sleep(50);
    }
    return ready();
}

// The text of a UTF-16LE file with byte-order mark; empty when unreadable or of another form.
std::wstring ReadUtf16File(const std::wstring& path) {
    std::string bytes;
    try {
        bytes = ReadTextFile(path);
    } catch (const std::exception&) {
        return std::wstring();
    }
    if (bytes.size() < 2 || bytes.compare(0, 2, "\xFF\xFE") != 0)
        return std::wstring();
    std::wstring text((bytes.size() - 2) / 2, L'\0');
    std::memcpy(text.data(), bytes.data() + 2, text.size() * sizeof(wchar_t));
    return text;
}

std::string Utf16FileBytes(const std::wstring& text) {
    std::string bytes = "\xFF\xFE";
    bytes.append(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
    return bytes;
}

// Runs a command line to its end (test side only) and gives its exit code.
DWORD RunAndWait(const std::wstring& commandLine) {
    PROCESS_INFORMATION started = StartHelperProgram(commandLine);
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);
    if (WaitForSingleObject(process.Get(), 60000) != WAIT_OBJECT_0)
        throw std::runtime_error("program did not end");
    DWORD exitCode = 0;
    GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode;
}

// A file in the root of drive C: whose path holds no space, removed afterwards.
class PlainFile {
public:
    explicit PlainFile(const std::wstring& name)
        : path_(L"C:\\bktrnwck-" + std::to_wstring(GetCurrentProcessId()) + L"-" + name) {
        DeleteFileW(path_.c_str());
    }
    ~PlainFile() { DeleteFileW(path_.c_str()); }
    PlainFile(const PlainFile&) = delete;
    PlainFile& operator=(const PlainFile&) = delete;
    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};

}  // namespace

// --- What the registry editor does, as the command lines rely on it. ---

TEST(RegistryEditorPlatform, EditorIsInPlace) { EXPECT_TRUE(PathExists(Editor)); }

using RegistryEditorExport = ScratchKeyTest;

TEST_F(RegistryEditorExport, TakesOnlyFullRootNamesAndAlwaysExitsWithZero) {
    RawSet(L"", L"v", TextData(L"exported"));
    struct Case {
        const char* name;
        std::wstring keyPath;
        bool writesFile;
    };
    const Case cases[] = {
        {"full root name", ScratchKeyFullPath, true},
        {"abbreviated root name", L"HKCU\\" + ScratchKeyPath, false},
        {"missing key", ScratchKeyFullPath + L"\\missing", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::wstring file = dir / L"export.reg";
        EXPECT_EQ(RunAndWait(RegistryExportCommandLine(file, c.keyPath)), 0u);
        EXPECT_EQ(PathExists(file), c.writesFile);
        if (c.writesFile) {
            EXPECT_EQ(ReadUtf16File(file).rfind(L"Windows Registry Editor Version 5.00", 0), 0u);
        }
    }
}

// --- The command lines and how the editor is started ---

TEST(RegistryEditor, CommandLinesAreTheEditorsOwn) {
    EXPECT_EQ(RegistryExportCommandLine(L"C:\\My Backups\\keys.reg", L"HKEY_CURRENT_USER\\Software\\Some Key"),
              L"C:\\Windows\\Regedit.exe /e \"C:\\My Backups\\keys.reg\" \"HKEY_CURRENT_USER\\Software\\Some Key\"");
    // The import path is quoted too: one with spaces reaches the editor whole.
    EXPECT_EQ(RegistryImportCommandLine(L"C:\\My Backups\\keys.reg"),
              L"C:\\Windows\\Regedit.exe /s \"C:\\My Backups\\keys.reg\"");
}

TEST(RegistryEditor, PathsThatCannotBeQuotedAreRefusedWithAnError) {
    const std::wstring key = L"HKEY_CURRENT_USER\\Software\\Some Key";
    const std::wstring file = L"C:\\My Backups\\keys.reg";
    struct Case {
        const char* name;
        std::function<void()> call;
        std::wstring refused;
    } cases[] = {
        // A "\" before the closing quote escapes it: the key would swallow the rest.
        {"key ending in a backslash", [&] { Class1().RegBackup(file, key + L"\\"); }, key + L"\\"},
        {"key holding a quote", [&] { RegistryExportCommandLine(file, L"HKEY_CURRENT_USER\\a\"b"); },
         L"HKEY_CURRENT_USER\\a\"b"},
        {"export file holding a quote", [&] { StartRegistryExport(L"C:\\a\"b.reg", key); }, L"C:\\a\"b.reg"},
        {"import file ending in a backslash", [&] { Class1().RegRestore(L"C:\\My Backups\\"); },
         L"C:\\My Backups\\"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.call();
            ADD_FAILURE() << "no error raised";
        } catch (const AppError& error) {
            EXPECT_EQ(error.Number(), ERROR_INVALID_NAME);
            EXPECT_EQ(error.Source(), L"RegistryEditor");
            EXPECT_NE(error.Description().find(c.refused), std::wstring::npos) << Narrow(error.Description());
        }
    }
}

TEST(RegistryEditor, ProgramStartsMinimizedWithFocus) {
    ASSERT_FALSE(ChildReportedShowWindow);
    ScratchDir dir;
    const std::wstring report = dir / L"show.txt";
    wchar_t self[MAX_PATH];
    ASSERT_NE(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    ASSERT_TRUE(SetEnvironmentVariableW(ReportShowVariable, report.c_str()));
    StartProgramMinimized(L"\"" + std::wstring(self) + L"\"");
    SetEnvironmentVariableW(ReportShowVariable, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return PathExists(report) && !ReadTextFile(report).empty(); }));
    EXPECT_EQ(ReadTextFile(report), "1 2");  // STARTF_USESHOWWINDOW, SW_SHOWMINIMIZED
}

TEST(RegistryEditor, ProgramThatCannotStartRaisesFileNotFound) {
    try {
        StartProgramMinimized(L"C:\\Windows\\NoSuchEditor.exe /e \"C:\\x.reg\" \"HKEY_CURRENT_USER\\Software\"");
        ADD_FAILURE() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number(), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(error.Source(), L"RegistryEditor");
    }
}

// --- Class1 ---

using Class1Registry = ScratchKeyTest;

TEST_F(Class1Registry, RegBackupExportsTheKeyToAPathWithSpaces) {
    RawSet(L"", L"v", TextData(L"exported"));
    RawCreate(L"child");
    ScratchDir dir;
    const std::wstring file = dir / L"registry backup.reg";
    Class1().RegBackup(file, ScratchKeyFullPath);

    std::wstring text;
    ASSERT_TRUE(WaitUntil([&] {
        text = ReadUtf16File(file);
        return text.find(L"[" + ScratchKeyFullPath + L"\\child]") != std::wstring::npos;
    })) << "no complete export in " << testing::PrintToString(file);
    EXPECT_NE(text.find(L"[" + ScratchKeyFullPath + L"]\r\n\"v\"=\"exported\""), std::wstring::npos);
}

TEST_F(Class1Registry, RegRestoreImportsAFile) {
    PlainFile file(L"import.reg");
    WriteTextFile(file.Path(), Utf16FileBytes(L"Windows Registry Editor Version 5.00\r\n\r\n[" + ScratchKeyFullPath +
                                              L"\\Imported]\r\n\"Name\"=\"from file \u03a9\"\r\n"));
    Class1().RegRestore(file.Path());
    ASSERT_TRUE(WaitUntil([] { return RawKeyExists(L"Imported") && RawGet(L"Imported", L"Name").has_value(); }));
    EXPECT_EQ(RawGet(L"Imported", L"Name"), TextData(L"from file \u03a9"));
}

TEST_F(Class1Registry, RegRestoreImportsAFileWhosePathHoldsSpaces) {
    ScratchDir dir;  // a space and characters outside the ANSI code page
    const std::wstring file = dir / L"registry backup.reg";
    WriteTextFile(file, Utf16FileBytes(L"Windows Registry Editor Version 5.00\r\n\r\n[" + ScratchKeyFullPath +
                                       L"\\Spaced]\r\n\"Name\"=\"whole path\"\r\n"));
    Class1().RegRestore(file);
    ASSERT_TRUE(WaitUntil([] { return RawKeyExists(L"Spaced") && RawGet(L"Spaced", L"Name").has_value(); }));
    EXPECT_EQ(RawGet(L"Spaced", L"Name"), TextData(L"whole path"));
}

// --- The word processor's document version ---

class DefaultWordProcessor : public testing::Test {
protected:
    static constexpr wchar_t DocumentKey[] = L"SOFTWARE\\Classes\\Quillset.Document";

    void SetUp() override {
        RegKey existing;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, DocumentKey, 0, KEY_READ, existing.Receive()) == ERROR_SUCCESS)
            GTEST_SKIP() << "the document type is registered on this machine; it is left alone";
    }
    void TearDown() override { RemoveKeyTree(HKEY_LOCAL_MACHINE, DocumentKey); }
};

TEST_F(DefaultWordProcessor, IsEmptyWithoutTheDocumentType) { EXPECT_EQ(GetDefaultWordProcessor(), RegistryValue{}); }

TEST_F(DefaultWordProcessor, IsTheRegisteredCurrentVersion) {
    RegKey curVer;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(DocumentKey) + L"\\CurVer").c_str(), 0, nullptr, 0,
                        KEY_ALL_ACCESS, nullptr, curVer.Receive(), nullptr) != ERROR_SUCCESS)
        GTEST_SKIP() << "HKEY_LOCAL_MACHINE cannot be written here";
    const std::wstring version = L"Quillset.Document.8";
    ASSERT_EQ(RegSetValueExW(curVer.Get(), L"", 0, REG_SZ, reinterpret_cast<const BYTE*>(version.c_str()),
                             static_cast<DWORD>((version.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    EXPECT_EQ(GetDefaultWordProcessor(), RegistryValue(version));
}
