#include <windows.h>
#include <tlhelp32.h>

#include <utility>
#include <vector>


#include "TestSupport.h"
#include "Windows.h"
#include "app/WebLink.h"
#include "app/frmMain.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "backup/frmBackup.h"
#include "restore/frmRestore.h"
#include "runtime/Texts.h"
#include "ui/Controls.h"

namespace {

class MainMenuTest : public testing::Test {
protected:
    void TearDown() override { UnloadAllWindows(); }
    bool Visible(HWND hwnd) { return IsWindowVisible(hwnd) != FALSE; }
};

}  // namespace

TEST_F(MainMenuTest, OpensWithBackupSelectedAndItsTexts) {
    frmMain& menu = frmMain::Instance();
    EXPECT_EQ(GetText(menu.Hwnd()), L"Backup Tarnwick");
    EXPECT_EQ(SendMessageW(menu.optBackup(), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(menu.optRestore(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(GetText(menu.optBackup()), L"Backup Tarnwick maps and saved games");
    EXPECT_EQ(GetText(menu.optRestore()), L"Restore Tarnwick maps and saved games");
    EXPECT_EQ(GetText(menu.Command4()), L"Start");
    EXPECT_EQ(GetText(menu.Command3()), L"Cancel");
}

TEST_F(MainMenuTest, OptionsFormOneChoice) {
    frmMain& menu = frmMain::Instance();
    SendMessageW(menu.optRestore(), BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(menu.optBackup(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(menu.optRestore(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainMenuTest, StartWithDefaultChoiceOpensBackupWithoutWaiting) {
    frmMain& menu = frmMain::Instance();
    menu.Show();
    menu.Command4_Click();  // returns at once: the backup wizard is not modal
    EXPECT_FALSE(Visible(menu.Hwnd()));
    ASSERT_TRUE(frmBackup::Loaded());
    EXPECT_TRUE(Visible(frmBackup::Instance().Hwnd()));
    EXPECT_FALSE(frmRestore::Loaded());
}

TEST_F(MainMenuTest, StartWithRestoreWaitsUntilTheWizardIsHidden) {
    frmMain& menu = frmMain::Instance();
    menu.Show();
    SendMessageW(menu.optRestore(), BM_CLICK, 0, 0);

    // While Start waits in the modal wizard, a timer looks at the screen and then
    // hides the wizard, which is what lets Start return.
    static bool sawWizard = false;
    static bool sawMenu = true;
    sawWizard = false;
    UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        sawWizard = frmRestore::Loaded() && IsWindowVisible(frmRestore::Instance().Hwnd());
        sawMenu = IsWindowVisible(frmMain::Instance().Hwnd()) != FALSE;
        ShowWindow(frmRestore::Instance().Hwnd(), SW_HIDE);
    });
    ASSERT_NE(timer, 0u);
    menu.Command4_Click();
    EXPECT_TRUE(sawWizard);
    EXPECT_FALSE(sawMenu);
    EXPECT_FALSE(Visible(menu.Hwnd()));
    EXPECT_FALSE(frmBackup::Loaded());
}

TEST_F(MainMenuTest, OwnsBothWizardsSoTheyHaveNoTaskbarButtonOfTheirOwn) {
    HWND menu = frmMain::Instance().Hwnd();
    EXPECT_EQ(GetWindow(frmBackup::Instance().Hwnd(), GW_OWNER), menu);
    EXPECT_EQ(GetWindow(frmRestore::Instance().Hwnd(), GW_OWNER), menu);
}

TEST_F(MainMenuTest, AWizardMadeAfterTheMenuIsGoneHasNoOwner) {
    frmMain::Instance();
    frmMain::Unload();
    EXPECT_EQ(GetWindow(frmBackup::Instance().Hwnd(), GW_OWNER), nullptr);
}

TEST_F(MainMenuTest, CancelAndCloseBoxEndTheProgram) {
    frmMain& menu = frmMain::Instance();
    EXPECT_THROW(menu.Command3_Click(), ProgramEnded);
    EXPECT_THROW(SendMessageW(menu.Hwnd(), WM_CLOSE, 0, 0), ProgramEnded);
}

// The web link finds the browser through the association of .HTM files, so each case
// registers its own association in the test prefix and removes it afterwards (Wine
// reads file associations from the machine's classes only).
class WebLinkTest : public MainMenuTest {
protected:
    static constexpr wchar_t ProgId[] = L"BkTrnwckTest.Html";

    void SetUp() override {
        RemoveAssociation();
        DeleteFileW(TempHtmPath);
    }
    void TearDown() override {
        RemoveAssociation();
        RemoveDirectoryW(TempHtmPath);
        DeleteFileW(TempHtmPath);
        MainMenuTest::TearDown();
    }

    void Associate(const std::wstring& command) {
        SetDefault(L"Software\\Classes\\.htm", ProgId);
        SetDefault(std::wstring(L"Software\\Classes\\") + ProgId + L"\\shell\\open\\command", command);
    }

    static void SetDefault(const std::wstring& key, const std::wstring& value) {
        LSTATUS status = RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        ASSERT_EQ(status, ERROR_SUCCESS);
    }

    static void RemoveAssociation() {
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\.htm");
        RegDeleteTreeW(HKEY_LOCAL_MACHINE, L"Software\\Classes\\BkTrnwckTest.Html");
    }
};

TEST_F(WebLinkTest, NoAssociatedBrowser) {
    MsgBoxRecorder boxes;
    WriteTextFile(TempHtmPath, "an older file");
    frmMain::Instance().Label4_Click();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, L"Could not find associated Browser");
    EXPECT_EQ(boxes.Calls()[0].title, L"Browser Not Found");
    EXPECT_EQ(boxes.Calls()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(PathExists(TempHtmPath));
}

TEST_F(WebLinkTest, BrowserThatCannotStart) {
    MsgBoxRecorder boxes;
    Associate(L"\"C:\\no such folder\\browser.exe\" \"%1\"");
    frmMain::Instance().Label4_Click();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, L"Web Page not Opened");
    EXPECT_EQ(boxes.Calls()[0].title, L"URL Failed");
    EXPECT_EQ(boxes.Calls()[0].icon, MsgIcon::Exclamation);
    EXPECT_FALSE(PathExists(TempHtmPath));
}

TEST_F(WebLinkTest, BrowserStartsWithoutMessage) {
    MsgBoxRecorder boxes;
    // Any program that starts and ends at once stands in for the browser.
    Associate(L"\"C:\\windows\\system32\\hostname.exe\" \"%1\"");
    WriteTextFile(TempHtmPath, "an older file");
    frmMain::Instance().Label4_Click();
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_FALSE(PathExists(TempHtmPath));
}

TEST_F(WebLinkTest, TemporaryFileThatCannotBeWritten) {
    MsgBoxRecorder boxes;
    ASSERT_TRUE(CreateDirectoryW(TempHtmPath, nullptr));  // a folder in the way
    frmMain::Instance().Label4_Click();
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, texts::TempFileNotWritten);
    EXPECT_TRUE(IsWindow(frmMain::Instance().Hwnd()));
}

namespace {

// The processes running the program of that name, with the process that started each.
std::vector<std::pair<DWORD, DWORD>> ProcessesNamed(const std::wstring& exeName) {
    std::vector<std::pair<DWORD, DWORD>> found;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (_wcsicmp(entry.szExeFile, exeName.c_str()) == 0)
            found.emplace_back(entry.th32ProcessID, entry.th32ParentProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

}  // namespace

TEST_F(WebLinkTest, BrowserIsStartedByTheDesktopShellNotByTheProgram) {
    MsgBoxRecorder boxes;
    Associate(L"\"C:\\windows\\notepad.exe\" \"%1\"");
    frmMain::Instance().Label4_Click();
    EXPECT_TRUE(boxes.Calls().empty());
    std::vector<std::pair<DWORD, DWORD>> browsers;
    for (int i = 0; i < 100 && browsers.empty(); ++i, Sleep(50))
        browsers = ProcessesNamed(L"notepad.exe");
    ASSERT_EQ(browsers.size(), 1u);
    auto [browser, parent] = browsers.front();
    if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, browser)) {
        TerminateProcess(process, 0);
        CloseHandle(process);
    }
    EXPECT_NE(parent, GetCurrentProcessId());
    bool startedByShell = false;
    for (auto [shell, unused] : ProcessesNamed(L"explorer.exe"))
        startedByShell = startedByShell || shell == parent;
    EXPECT_TRUE(startedByShell);
}

// The last backup without a window, as each exit code leaves it: the menu tells a failure
// in a line a screen reader reads, with the log a click away, and is otherwise as ever.
TEST_F(MainMenuTest, AFailedBackupWithoutAWindowIsToldUntilOneCompletes) {
    const std::wstring state = LastWindowlessBackupPath();
    DeleteFileW(state.c_str());
    frmMain& menu = frmMain::Instance();
    menu.Show();
    RECT usual;
    GetWindowRect(menu.Hwnd(), &usual);
    const struct {
        int exitCode;
        bool told;
    } cases[] = {{0, false}, {1, true}, {2, true}, {3, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exitCode);
        ASSERT_TRUE(RecordWindowlessBackup(state, {SYSTEMTIME{2026, 12, 2, 8, 21, 0, 0, 0}, L"D:\\Tarnwick backups",
                                                   c.exitCode, L"the folder does not exist", L"line", false})
                        .Ok());
        menu.Show();
        EXPECT_EQ(Visible(menu.LastBackupLabel()), c.told);
        EXPECT_EQ(Visible(menu.OpenLogLink()), c.told);
        RECT now;
        GetWindowRect(menu.Hwnd(), &now);
        EXPECT_EQ(now.bottom - now.top > usual.bottom - usual.top, c.told);
        if (c.told) {
            EXPECT_EQ(GetText(menu.LastBackupLabel()),
                      L"The backup of 2026-12-08 21:00 into D:\\Tarnwick backups failed: the folder does not exist.");
        }
    }
    // A backup completed since, and a state file cut short: the menu as ever.
    NoteBackupCompleted(state);
    menu.Show();
    EXPECT_FALSE(Visible(menu.LastBackupLabel()));
    WriteTextFile(state, "Backup Tarnwick last windowless backup\r\ntime=2026-12-08 21:00:00\r\nfol");
    menu.Show();
    EXPECT_FALSE(Visible(menu.LastBackupLabel()));
    RECT now;
    GetWindowRect(menu.Hwnd(), &now);
    EXPECT_EQ(now.bottom - now.top, usual.bottom - usual.top);
    DeleteFileW(state.c_str());
}
