#include <windows.h>

#include <cstdlib>
#include <functional>
#include <optional>

#include "Faults.h"
#include "GameData.h"
#include "TestSupport.h"
#include "app/CommandJobs.h"
#include "app/CommandLine.h"
#include "app/CommandOutput.h"
#include "engine/journal/JobJournal.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/DatedSets.h"
#include "files/FileOps.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "runtime/WineHost.h"
#include "schedule/DailySchedule.h"

namespace {

struct ParseCase {
    std::vector<std::wstring> args;
    CommandKind kind;
    std::wstring path = {};
    bool dated = false;
    unsigned keep = DefaultDatedSetsKept;
};

const ParseCase kParses[] = {
    {{}, CommandKind::Menu, L"", false, 10},
    {{L"/?"}, CommandKind::Usage, L"", false, 10},
    {{L"-HELP"}, CommandKind::Usage, L"", false, 10},
    {{L"/backup", L"D:\\Tarnwick sets"}, CommandKind::Backup, L"D:\\Tarnwick sets", false, 10},
    {{L"/BACKUP", L"D:\\b", L"/Dated"}, CommandKind::Backup, L"D:\\b", true, 10},
    {{L"/backup", L"D:\\b", L"/dated", L"/keep", L"2"}, CommandKind::Backup, L"D:\\b", true, 2},
    {{L"/dated", L"/keep", L"30", L"-backup", L"D:\\b"}, CommandKind::Backup, L"D:\\b", true, 30},
    {{L"/restore", L"D:\\b\\Tarnwick_2026.12.08.BAK"}, CommandKind::Restore, L"D:\\b\\Tarnwick_2026.12.08.BAK", false, 10},
    {{L"-Verify", L"D:\\b\\Tarnwick_2026.12.08.BAK"}, CommandKind::Verify, L"D:\\b\\Tarnwick_2026.12.08.BAK", false, 10},
    {{L"/schedule", L"D:\\b", L"/at", L"21:30"}, CommandKind::Schedule, L"D:\\b", false, 14},
    {{L"/at", L"7:05", L"/keep", L"3", L"/Schedule", L"D:\\b"}, CommandKind::Schedule, L"D:\\b", false, 3},
    {{L"/schedule"}, CommandKind::ShowSchedule},
    {{L"-UNSCHEDULE"}, CommandKind::Unschedule},
    {{L"/restorewizard"}, CommandKind::RestoreWizard},
    {{L"/restorewizard", L"D:\\b\\Tarnwick_2026.12.08.BAK"}, CommandKind::RestoreWizard, L"D:\\b\\Tarnwick_2026.12.08.BAK"},
    {{L"/play", L"C:\\g\\t.exe", L"/backup", L"D:\\b", L"/dated"}, CommandKind::Play, L"D:\\b", true, 10},
    {{L"/restore", L"D:\\b", L"/only", L"saves", L"/preview"}, CommandKind::Restore, L"D:\\b"},
    {{L"/sets", L"D:\\b"}, CommandKind::Sets, L"D:\\b"},
    // Refused, each with 1 and the usage.
    {{L"/schedule", L"D:\\b"}, CommandKind::Invalid},
    {{L"/schedule", L"D:\\b", L"/at", L"24:00"}, CommandKind::Invalid},
    {{L"/schedule", L"D:\\b", L"/at", L"21:30", L"/dated"}, CommandKind::Invalid},
    {{L"/schedule", L"/at", L"21:30"}, CommandKind::Invalid},
    {{L"/unschedule", L"/keep", L"2"}, CommandKind::Invalid},
    {{L"/play", L"C:\\g\\t.exe", L"-window"}, CommandKind::Invalid},
    {{L"/play"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"/play", L"C:\\g\\t.exe", L"/backup", L"D:\\b"}, CommandKind::Invalid},
    {{L"/backup"}, CommandKind::Invalid},
    {{L"/backup", L"/dated"}, CommandKind::Invalid},
    {{L"/backup", L""}, CommandKind::Invalid},
    {{L"/restore"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"/restore", L"D:\\m.BAK"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"/keep", L"2"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"/dated", L"/keep"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"/dated", L"/keep", L"two"}, CommandKind::Invalid},
    {{L"/restore", L"D:\\m.BAK", L"/dated"}, CommandKind::Invalid},
    {{L"/verify"}, CommandKind::Invalid},
    {{L"/verify", L"D:\\m.BAK", L"/restore", L"D:\\m.BAK"}, CommandKind::Invalid},
    {{L"/verify", L"D:\\m.BAK", L"/dated"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"extra"}, CommandKind::Invalid},
    {{L"D:\\b"}, CommandKind::Invalid},
    {{L"/restore", L"D:\\b", L"/only"}, CommandKind::Invalid},
    {{L"/backup", L"D:\\b", L"/preview"}, CommandKind::Invalid},
    {{L"/sets"}, CommandKind::Invalid},
    {{L"/frobnicate"}, CommandKind::Invalid},
};

}  // namespace

TEST(CommandLineTest, ParsesTheArguments) {
    for (const ParseCase& c : kParses) {
        std::wstring shown;
        for (const std::wstring& arg : c.args)
            shown += L"[" + arg + L"] ";
        SCOPED_TRACE(Narrow(shown));
        Command command = ParseCommandLine(c.args);
        EXPECT_EQ(command.kind, c.kind);
        if (c.kind == CommandKind::Invalid) {
            EXPECT_FALSE(command.problem.empty());
            continue;
        }
        EXPECT_EQ(command.path, c.path);
        EXPECT_EQ(command.dated, c.dated);
        EXPECT_EQ(command.keep, c.keep);
    }
}

TEST(CommandLineTest, PlayHandsTheGameEverythingUpToTheFirstBackup) {
    Command command = ParseCommandLine({L"/play", L"C:\\Games\\Tarnwick.exe", L"/fullscreen", L"-Backup=no", L"two words",
                                        L"-BACKUP", L"D:\\b", L"/dated", L"/keep", L"3"});
    ASSERT_EQ(command.kind, CommandKind::Play) << Narrow(command.problem);
    EXPECT_EQ(command.game, L"C:\\Games\\Tarnwick.exe");
    EXPECT_EQ(command.gameArguments, (std::vector<std::wstring>{L"/fullscreen", L"-Backup=no", L"two words"}));
    EXPECT_EQ(command.path, L"D:\\b");
    EXPECT_EQ(command.keep, 3u);
}

// A refusal names the switch and what is wrong with it.
TEST(CommandLineTest, RefusalsNameTheSwitchAndWhatIsWrong) {
    const struct {
        std::vector<std::wstring> args;
        const wchar_t* says;
    } cases[] = {
        {{L"/schedule", L"D:\\b", L"/at", L"21:00", L"/at", L"22:00"}, L"/at is given more than once"},
        {{L"/backup", L"D:\\b", L"/dated", L"/dated"}, L"/dated is given more than once"},
        {{L"/backup", L"D:\\b", L"/dated", L"/keep", L"10000"}, L"from 1 to 9999"},
        {{L"/backup", L"D:\\b", L"/dated", L"/keep", L"0"}, L"from 1 to 9999"},
    };
    for (const auto& c : cases) {
        Command command = ParseCommandLine(c.args);
        EXPECT_EQ(command.kind, CommandKind::Invalid);
        EXPECT_NE(command.problem.find(c.says), std::wstring::npos) << Narrow(command.problem);
    }
}

TEST(CommandLineTest, OnlyFoldersNamedByTheirTimeAreDatedSets) {
    EXPECT_TRUE(IsDatedSetName(L"2026.12.08 21.00.05"));
    EXPECT_TRUE(IsDatedSetName(L"2024.02.29 23.59.59"));
    for (const wchar_t* name : {L"2026.12.08 21.00.05 copy", L"2026.12.08", L"2026-12-08 21.00.05", L"2026.12.08 21.00.0x",
                                L"Tarnwick_2026.12.08.BAK", L"", L"2020.13.45 99.99.99", L"2026.02.29 00.00.00",
                                L"2026.12.08 24.00.00"})
        EXPECT_FALSE(IsDatedSetName(name)) << Narrow(name);
    SYSTEMTIME t{2026, 3, 0, 4, 5, 6, 7, 0};
    EXPECT_EQ(DatedSetName(t), L"2026.03.04 05.06.07");
}

namespace {

// Where the program under test lies: ctest names it; run by hand, beside the test folder.
std::wstring ProgramUnderTest() {
    if (const char* named = std::getenv("BKTRNWCK_EXE")) {
        using ToDos = wchar_t*(CDECL*)(const char*);
        auto toDos = reinterpret_cast<ToDos>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
        if (named[0] != '/' || !toDos)
            return Widen(named);
        wchar_t* dos = toDos(named);
        std::wstring path = dos ? dos : L"";
        HeapFree(GetProcessHeap(), 0, dos);
        return path;
    }
    wchar_t self[MAX_PATH];
    std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    path = path.substr(0, path.find_last_of(L'\\'));
    return path.substr(0, path.find_last_of(L'\\')) + L"\\bkTrnwck.exe";
}

struct ProgramRun {
    DWORD exitCode = 0;
    std::string output;         // what it wrote to standard output, UTF-8
    std::vector<std::wstring> windows;  // classes of the windows it had while it ran
};

BOOL CALLBACK CollectWindowOf(HWND window, LPARAM param) {
    auto* run = reinterpret_cast<std::pair<DWORD, std::vector<std::wstring>*>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[128] = L"";
    if (pid == run->first && GetClassNameW(window, name, 128))
        run->second->push_back(name);
    return TRUE;
}

// Runs the real program with the arguments as a scheduled task would, its output caught
// and its windows looked for while it runs.
ProgramRun RunProgram(const std::wstring& arguments) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    EXPECT_TRUE(CreatePipe(&readEnd, &writeEnd, &inherit, 0));
    FileHandle reader(readEnd);
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    ProgramRun run;
    PROCESS_INFORMATION info;
    try {
        info = StartHelperProgram(L"\"" + ProgramUnderTest() + L"\" " + arguments, 0, &startup, true);
    } catch (const std::runtime_error& error) {
        CloseHandle(writeEnd);
        ADD_FAILURE() << error.what();
        return run;
    }
    CloseHandle(writeEnd);
    FileHandle process(info.hProcess);
    CloseHandle(info.hThread);
    std::pair<DWORD, std::vector<std::wstring>*> looking{info.dwProcessId, &run.windows};
    while (WaitForSingleObject(process.Get(), 5) == WAIT_TIMEOUT)
        EnumWindows(CollectWindowOf, reinterpret_cast<LPARAM>(&looking));
    GetExitCodeProcess(process.Get(), &run.exitCode);
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(reader.Get(), buffer, sizeof buffer, &got, nullptr) && got)
        run.output.append(buffer, got);
    return run;
}

std::wstring Quoted(const std::wstring& path) { return L"\"" + path + L"\""; }

// The names of the dated sets the program counts in folder, oldest first.
std::vector<std::wstring> DatedNames(const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (const DatedSet& set : DatedSets(folder))
        names.push_back(set.name);
    return names;
}

class CommandRunTest : public testing::Test {
protected:
    GameFolder game;
    ScratchDir sets;
};

struct ExitCase {
    const char* name;
    std::function<std::wstring(const std::wstring& set)> arguments;
    DWORD exitCode;
    const char* says;  // a part of the line
};

// Runs each case's command with a fresh set folder, checks its exit code and its line,
// then what the case's test checks after it.
template <size_t N, class After>
void RunExitCases(const ExitCase (&cases)[N], After after) {
    for (const ExitCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir set(true);
        ProgramRun run = RunProgram(c.arguments(set.Path()));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        EXPECT_NE(run.output.find(c.says), std::string::npos) << run.output;
        after(c, run, set.Path());
    }
}

}  // namespace

TEST_F(CommandRunTest, EachOutcomeHasItsExitCodeAndNoWindowShows) {
    // An earlier set to restore from, made by the program itself.
    MakeDirs(sets / L"earlier");
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets / L"earlier")).exitCode, 0u);
    const std::wstring marker = MarkerPathToday(sets / L"earlier");
    WriteTextFile(sets / L"not a marker.BAK", "[Backup]\r\nVersion=Other\r\n");
    // A set from outside whose list of added files names a file outside the game's data.
    MakeGameData(sets / L"crafted", "crafted");
    WriteTextFile(sets / L"crafted\\Tarnwick safety set added files.txt",
                  "saves\\new.sav\r\nmaps\r\n..\\..\\..\\victim\\secret.txt\r\n");
    const std::wstring crafted = WriteMarker(sets / L"crafted");
    Tree gameBefore;
    FileHandle held;
    const ExitCase cases[] = {
        {"usage", [](auto&) { return L"/?"; }, 0, "Exit codes"},
        {"a backup", [](auto& set) { return L"/backup " + Quoted(set); }, 0, "Backup complete"},
        {"a restore", [&](auto&) { return L"/restore " + Quoted(marker); }, 0, "Restore complete"},
        // From here on, every line says that job waits.
        {"a backup while an interrupted one waits for its drive", [&](auto& set) {
             WriteTextFile(JobJournal::DefaultPath(),
                           "Backup Tarnwick job journal\r\njob=backup\r\nstage=copying\r\n"
                           "gameFolder=C:\\Program files\\Glimmerfen Studios\\Tarnwick\r\n"
                           "setFolder=Q:\\gone\\set\r\nheld=saves\r\n");
             return L"/backup " + Quoted(set);
         }, 0, "A backup into Q:\\gone\\set was stopped before it ended"},
        {"an unknown switch", [](auto&) { return L"/frobnicate"; }, 1, "not a switch"},
        {"a missing path", [](auto&) { return L"/backup"; }, 1, "needs a path"},
        {"a missing folder", [&](auto&) { return L"/backup " + Quoted(sets / L"gone"); }, 1, "gone not started: nothing of that name exists"},
        {"not a marker", [&](auto&) { return L"/restore " + Quoted(sets / L"not a marker.BAK"); }, 1,
         "it does not say Version=Tarnwick."},
        {"a game that is not there", [&](auto& set) { return L"/play " + Quoted(sets / L"no game.exe") + L" /backup " + Quoted(set); },
         1, "was not started"},
        {"a set whose list names a file outside the game's data", [&](auto&) {
             gameBefore = TreeOf(GameFolder::Path());
             return L"/restore " + Quoted(crafted);
         },
         1, "is not a list this program wrote (line 3: ..\\..\\..\\victim\\secret.txt). Nothing was changed."},
        {"a file the game holds open", [&](auto& set) {
             EXPECT_EQ(TreeOf(GameFolder::Path()), gameBefore);
             held = HoldOpen(GameFolder::Sub(L"saves\\slot 1\\game.sav"));
             return L"/backup " + Quoted(set);
         }, 2, "failed"},
        {"no game folder", [&](auto& set) {
             held = FileHandle();
             RemoveTree(GameFolder::Path());
             return L"/backup " + Quoted(set);
         }, 1, "was not found"},
    };
    RunExitCases(cases, [](const ExitCase& c, const ProgramRun& run, const std::wstring& set) {
        EXPECT_TRUE(run.windows.empty()) << Narrow(run.windows.front());
        if (c.exitCode != 0) {
            EXPECT_TRUE(TreeOf(set).empty());
        }
    });
    EXPECT_FALSE(PathExists(JobJournal::DefaultPath()));
    RemoveTree(JobJournal::DefaultPath() + L" (waiting for its folder 1)");
}

// A game folder this user may not write (chattr +i stands in for the rights): only the
// restore needs to write there, and it is refused before it changes anything.
TEST_F(CommandRunTest, OnlyTheRestoreNeedsToWriteInTheGameFolder) {
    MakeDirs(sets / L"set");
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets / L"set")).exitCode, 0u);
    const std::wstring marker = MarkerPathToday(sets / L"set");
    const Tree before = TreeOf(GameFolder::Path());
    ImmutableScope frozen(GameFolder::Path());
    if (!frozen.Ok())
        GTEST_SKIP() << "chattr +i is not available here";
    const std::string refused = Narrow(FillIn(texts::RestoreNoRights, {GameFolder::Path()}));
    const ExitCase cases[] = {
        {"a restore", [&](auto&) { return L"/restore " + Quoted(marker); }, 1, refused.c_str()},
        {"a backup", [](auto& set) { return L"/backup " + Quoted(set); }, 0, "Backup complete"},
        {"a verify", [&](auto&) { return L"/verify " + Quoted(marker); }, 0, "Verify complete"},
    };
    RunExitCases(cases, [&](const ExitCase&, const ProgramRun&, const std::wstring&) {
        EXPECT_EQ(TreeOf(GameFolder::Path()), before);
        EXPECT_FALSE(PathExists(GameFolder::SafetySets()));
    });
}

// The program runs with the player's own rights: its manifest asks for no more.
TEST(ProgramManifestTest, AsksForThePlayersOwnRights) {
    HMODULE exe = LoadLibraryExW(ProgramUnderTest().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(exe, nullptr);
    HRSRC found = FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));  // RT_MANIFEST
    ASSERT_NE(found, nullptr);
    const char* bytes = static_cast<const char*>(LockResource(LoadResource(exe, found)));
    const std::string manifest(bytes, SizeofResource(exe, found));
    FreeLibrary(exe);
    EXPECT_NE(manifest.find(R"(<requestedExecutionLevel level="asInvoker")"), std::string::npos) << manifest;
}

TEST_F(CommandRunTest, DatedBackupsKeepTheNewestAndNothingElseIsRemoved) {
    MakeDirs(sets / L"2001.01.01 00.00.00 kept by hand");
    MakeDirs(sets / L"other things");
    for (int run = 0; run < 3; ++run)
        ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated /keep 2").exitCode, 0u);
    std::vector<std::wstring> dated = DatedNames(sets.Path());
    ASSERT_EQ(dated.size(), 2u);
    EXPECT_LT(dated[0], dated[1]);
    for (const std::wstring& name : dated)
        EXPECT_EQ(ReadTextFile(sets / (name + L"\\saves\\quick.sav")), "quick");
    EXPECT_TRUE(IsDirectory(sets / L"2001.01.01 00.00.00 kept by hand"));
    EXPECT_TRUE(IsDirectory(sets / L"other things"));
}

// Folders of the player's whose names merely look like dated sets: no /keep removes them,
// no new set links to them, no /verify takes them for the newest set, and each stays byte
// for byte as it was.
TEST_F(CommandRunTest, OnlyTheProgramsOwnDatedSetsAreCountedLinkedVerifiedOrRemoved) {
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated").exitCode, 0u);
    const std::vector<std::wstring> real = DatedNames(sets.Path());
    ASSERT_EQ(real.size(), 1u);
    const std::wstring realMarker = MarkerPathToday(sets / real[0]);
    struct PlayersFolder {
        const wchar_t* name;
        std::function<void(const std::wstring& folder)> fill;
    };
    const PlayersFolder folders[] = {
        {L"2020.01.01 00.00.00", [](const std::wstring& f) { WriteTextFile(f + L"\\notes.txt", "notes"); }},
        {L"2021.01.01 00.00.00",
         [](const std::wstring& f) {
             MakeGameData(f, "other");
             WriteTextFile(f + L"\\Tarnwick_2021.01.01.BAK", "[Backup]\r\nVersion=Other\r\n");
         }},
        {L"2022.01.01 00.00.00",
         [&](const std::wstring& f) {
             MakeGameData(f, "copied");
             CopyFileW(realMarker.c_str(), (f + L"\\Tarnwick_2022.01.01.BAK").c_str(), FALSE);  // names the real set
         }},
        {L"2020.13.45 99.99.99", [](const std::wstring& f) { WriteTextFile(f + L"\\file.txt", "file"); }},
        {L"2099.01.01 00.00.00", [](const std::wstring& f) { WriteTextFile(f + L"\\plans.txt", "plans"); }},
        {L"2098.01.01 00.00.00", [](const std::wstring&) {}},  // empty, as a killed job of an earlier release left it
    };
    std::vector<Tree> before;
    for (const PlayersFolder& folder : folders) {
        MakeDirs(sets / folder.name);
        folder.fill(sets / folder.name);
        before.push_back(TreeOf(sets / folder.name));
    }
    ShiftWriteTimes(GameFolder::Sub(L"saves\\quick.sav"), 60);

    ProgramRun backup = RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated /keep 1");
    ASSERT_EQ(backup.exitCode, 0u) << backup.output;
    EXPECT_NE(backup.output.find("hard links to those of " + Narrow(sets / real[0])), std::string::npos)
        << backup.output;
    const std::vector<std::wstring> now = DatedNames(sets.Path());
    ASSERT_EQ(now.size(), 1u);
    EXPECT_NE(now[0], real[0]);
    ProgramRun verified = RunProgram(L"/verify " + Quoted(sets.Path()));
    EXPECT_EQ(verified.exitCode, 0u) << verified.output;
    EXPECT_NE(verified.output.find(Narrow(sets / now[0])), std::string::npos) << verified.output;
    for (size_t i = 0; i < std::size(folders); ++i)
        EXPECT_EQ(TreeOf(sets / folders[i].name), before[i]) << Narrow(folders[i].name);
}

// A shell's completion leaves a "\\" at the end of a folder: the set's marker is beside the
// data, and records the folder without it.
TEST_F(CommandRunTest, AFolderWithATrailingBackslashIsTakenWithoutIt) {
    const std::wstring set = sets / L"set";
    MakeDirs(set);
    ProgramRun run = RunProgram(L"/backup \"" + set + L"\\\\\"");
    ASSERT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_EQ(run.output.find("\\\\Tarnwick_"), std::string::npos) << run.output;
    EXPECT_EQ(ReadMarkerLocation(MarkerPathToday(set)), set);
}

TEST_F(CommandRunTest, TheLineGoesToTheLogWithItsTime) {
    const std::wstring log = CommandLogPath();
    DeleteFileW(log.c_str());
    RunProgram(L"/backup " + Quoted(sets / L"gone"));
    std::string logged = ReadTextFile(log);
    EXPECT_EQ(logged.find("Backup into"), 21u) << logged;  // after "yyyy-mm-dd hh:mm:ss  "
    EXPECT_EQ(logged.substr(logged.size() - 2), "\r\n");
}

TEST_F(CommandRunTest, TheNewSetIsKeptWhenAnOlderOneCarriesALaterName) {
    // Written before the clock went back an hour: its name sorts after tonight's set.
    MakeDirs(sets / L"2099.01.01 00.00.00");
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets / L"2099.01.01 00.00.00")).exitCode, 0u);
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated /keep 1").exitCode, 0u);
    std::vector<std::wstring> dated = DatedNames(sets.Path());
    ASSERT_EQ(dated.size(), 1u);
    EXPECT_NE(dated[0], L"2099.01.01 00.00.00");
    EXPECT_TRUE(PathExists(MarkerPathToday(sets / dated[0])));
}

// The preview prints a line a change and changes nothing; /only narrows the restore; a
// folder stands for its set; /sets lists the dated sets, newest first.
TEST_F(CommandRunTest, PreviewOnlyAndSetsFromTheCommandLine) {
    const std::wstring set = sets / L"set";
    MakeDirs(set);
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(set)).exitCode, 0u);
    WriteTextFile(GameFolder::Sub(L"saves\\quick.sav"), "played on");
    DeleteFileW(GameFolder::Sub(L"maps\\fen.map").c_str());
    const Tree before = TreeOf(GameFolder::Path());

    ProgramRun preview = RunProgram(L"/restore " + Quoted(MarkerPathToday(set)) + L" /preview");
    EXPECT_EQ(preview.exitCode, 0u) << preview.output;
    EXPECT_EQ(preview.output.rfind("replace saves\\quick.sav\tset ", 0), 0u) << preview.output;
    EXPECT_NE(preview.output.find("\nadd maps\\fen.map\tset "), std::string::npos) << preview.output;
    EXPECT_NE(preview.output.find("replace 1 file, add 1 file and take away 0 files"), std::string::npos) << preview.output;
    EXPECT_EQ(TreeOf(GameFolder::Path()), before);
    EXPECT_FALSE(PathExists(GameFolder::SafetySets()));

    ProgramRun outside = RunProgram(L"/restore " + Quoted(set) + L" /only \"..\\..\\victim.txt\"");
    EXPECT_EQ(outside.exitCode, 1u);
    EXPECT_NE(outside.output.find("\"..\\..\\victim.txt\" is not a name inside the game's data"), std::string::npos)
        << outside.output;
    ProgramRun only = RunProgram(L"/restore " + Quoted(set) + L" /only \"saves\\quick.sav\"");
    EXPECT_EQ(only.exitCode, 0u) << only.output;
    EXPECT_EQ(ReadTextFile(GameFolder::Sub(L"saves\\quick.sav")), "quick");
    EXPECT_FALSE(PathExists(GameFolder::Sub(L"maps\\fen.map")));

    ProgramRun none = RunProgram(L"/sets " + Quoted(sets.Path()));
    EXPECT_EQ(none.exitCode, 1u);
    EXPECT_NE(none.output.find("holds no dated backup sets"), std::string::npos) << none.output;
    for (int run = 0; run < 2; ++run)
        ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated").exitCode, 0u);
    const std::vector<std::wstring> dated = DatedNames(sets.Path());
    ProgramRun listed = RunProgram(L"/sets " + Quoted(sets.Path()));
    EXPECT_EQ(listed.exitCode, 0u) << listed.output;
    EXPECT_EQ(listed.output.rfind(Narrow(dated[1]) + "\t", 0), 0u) << listed.output;
    const size_t older = listed.output.find(Narrow(dated[0]) + "\t");
    EXPECT_TRUE(older != std::string::npos && older > 0) << listed.output;
}

namespace {

struct VerifyCase {
    const char* name;
    std::function<void(const std::wstring& set)> spoil;
    DWORD exitCode;
    std::vector<std::string> says;  // parts of the line
};

}  // namespace

TEST_F(CommandRunTest, VerifyChecksASetAgainstItsManifestWithoutRestoring) {
    const VerifyCase cases[] = {
        {"a whole set", [](const std::wstring&) {}, 0, {"Verify complete", "(8 files checked)"}},
        {"one byte changed, its time kept",
         [](const std::wstring& set) {
             const std::wstring save = set + L"\\saves\\quick.sav";
             std::string content = ReadTextFile(save);
             content[0] ^= 1;
             FileHandle file(CreateFileW(save.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr));
             FILETIME written{};
             GetFileTime(file.Get(), nullptr, nullptr, &written);
             DWORD done = 0;
             WriteFile(file.Get(), content.data(), 1, &done, nullptr);
             SetFileTime(file.Get(), nullptr, nullptr, &written);
         },
         2, {"Verify FAILED", "1 of 8 files", "saves\\quick.sav."}},
        {"a file missing", [](const std::wstring& set) { DeleteFileW((set + L"\\tarnwick.cfg").c_str()); }, 2,
         {"Verify FAILED", "tarnwick.cfg."}},
        {"an extra file",
         [](const std::wstring& set) { WriteTextFile(set + L"\\maps\\new.map", "not in the manifest"); }, 0,
         {"Verify complete", "does not list 1 file of the set", "maps\\new.map."}},
        {"no manifest", [](const std::wstring& set) { DeleteFileW((set + L"\\Tarnwick set contents.sha256").c_str()); },
         1, {"Nothing to check"}},
        {"not a marker",
         [](const std::wstring& set) { WriteTextFile(MarkerPathToday(set), "[Backup]\r\nVersion=Other\r\n"); }, 1,
         {"it does not say Version=Tarnwick."}},
    };
    for (const VerifyCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir set(true);
        ASSERT_EQ(RunProgram(L"/backup " + Quoted(set.Path())).exitCode, 0u);
        c.spoil(set.Path());
        const Tree before = TreeOf(set.Path()), game = TreeOf(GameFolder::Path());
        ProgramRun run = RunProgram(L"/verify " + Quoted(MarkerPathToday(set.Path())));
        EXPECT_EQ(run.exitCode, c.exitCode) << run.output;
        for (const std::string& part : c.says)
            EXPECT_NE(run.output.find(part), std::string::npos) << part << " in " << run.output;
        EXPECT_TRUE(run.windows.empty());
        EXPECT_EQ(TreeOf(set.Path()), before);
        EXPECT_EQ(TreeOf(GameFolder::Path()), game);
    }
}

namespace {

// The file's identity on its volume and how many names it has.
std::pair<std::uint64_t, DWORD> FileIdentity(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, 0, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    EXPECT_TRUE(file && GetFileInformationByHandle(file.Get(), &info)) << Narrow(path);
    return {(static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow, info.nNumberOfLinks};
}

// The game's data: the files a set holds of it.
Tree GameDataOf(const std::wstring& root) {
    Tree data;
    for (const auto& [rel, content] : TreeOf(root)) {
        bool ours = rel.rfind(L"saves", 0) == 0 || rel.rfind(L"maps", 0) == 0 || rel.rfind(L"scores", 0) == 0 ||
                    rel == L"tarnwick.cfg";
        if (ours)
            data.emplace_back(rel, content);
    }
    return data;
}

void ExpectManifestChecksOut(const std::wstring& set) {
    std::optional<bool> checked = LinuxCommandSucceeds(set, "sha256sum -c --quiet --strict 'Tarnwick set contents.sha256'");
    if (checked) {
        EXPECT_TRUE(*checked) << "sha256sum -c refuses the manifest of " << Narrow(set);
    }
}

}  // namespace

TEST_F(CommandRunTest, DatedSetsShareTheFilesThatDidNotChange) {
    const std::wstring changed = L"saves\\slot 1\\game.sav", same = L"saves\\slot 2\\game.sav";
    std::vector<Tree> runs;
    for (int run = 0; run < 3; ++run) {
        if (run > 0) {
            WriteTextFile(GameFolder::Sub(changed), "save one, played again " + std::to_string(run));
            ShiftWriteTimes(GameFolder::Sub(changed), run * 60);
        }
        runs.push_back(GameDataOf(GameFolder::Path()));
        ProgramRun backup = RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated /keep 5");
        ASSERT_EQ(backup.exitCode, 0u) << backup.output;
        if (run > 0) {
            EXPECT_NE(backup.output.find("made hard links to those of"), std::string::npos) << backup.output;
            EXPECT_NE(backup.output.find("; copied: 1 file."), std::string::npos) << backup.output;
        }
    }
    std::vector<std::wstring> dated = DatedNames(sets.Path());
    ASSERT_EQ(dated.size(), 3u);
    for (size_t i = 0; i < dated.size(); ++i) {
        const std::wstring set = sets / dated[i];
        EXPECT_EQ(GameDataOf(set), runs[i]) << "the set of run " << i;
        ExpectManifestChecksOut(set);
        if (i == 0)
            continue;
        const std::wstring earlier = sets / dated[i - 1];
        EXPECT_EQ(FileIdentity(set + L"\\" + same).first, FileIdentity(earlier + L"\\" + same).first);
        EXPECT_GT(FileIdentity(set + L"\\" + same).second, 1u);
        EXPECT_NE(FileIdentity(set + L"\\" + changed).first, FileIdentity(earlier + L"\\" + changed).first);
    }

    ProgramRun verified = RunProgram(L"/verify " + Quoted(sets.Path()));
    EXPECT_EQ(verified.exitCode, 0u) << verified.output;
    EXPECT_NE(verified.output.find("Verify complete"), std::string::npos) << verified.output;
    EXPECT_NE(verified.output.find(Narrow(dated.back())), std::string::npos) << "not the newest set: " << verified.output;

    // Whatever else runs, every other set stays as its manifest says.
    auto othersCheckOut = [&](const char* after) {
        SCOPED_TRACE(after);
        for (const std::wstring& name : DatedNames(sets.Path()))
            ExpectManifestChecksOut(sets / name);
    };
    ASSERT_EQ(RunProgram(L"/restore " + Quoted(MarkerPathToday(sets / dated[1]))).exitCode, 0u);
    othersCheckOut("a restore from the middle set, which left a safety set");
    WriteTextFile(GameFolder::Sub(same), "save two, changed at last");
    ShiftWriteTimes(GameFolder::Sub(same), 600);
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets / dated[1])).exitCode, 0u);
    EXPECT_EQ(ReadTextFile(sets / (dated[0] + L"\\" + same)), "save two");
    othersCheckOut("a merge backup into the middle set");
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated /keep 1").exitCode, 0u);
    othersCheckOut("the pruning of all but the newest");
}

TEST_F(CommandRunTest, AFileThatCannotBeLinkedIsCopied) {
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated").exitCode, 0u);
    std::vector<std::wstring> first = DatedNames(sets.Path());
    ASSERT_EQ(first.size(), 1u);
    // The kernel refuses a new name for an immutable file, as FAT refuses any link.
    ImmutableScope refused(sets / (first[0] + L"\\saves\\slot 2\\game.sav"));
    if (!refused.Ok())
        GTEST_SKIP() << "no chattr here";
    ProgramRun second = RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated");
    ASSERT_EQ(second.exitCode, 0u) << second.output;
    EXPECT_NE(second.output.find("; copied: 1 file."), std::string::npos) << second.output;
    std::vector<std::wstring> dated = DatedNames(sets.Path());
    ASSERT_EQ(dated.size(), 2u);
    EXPECT_EQ(GameDataOf(sets / dated[1]), GameDataOf(GameFolder::Path()));
    ExpectManifestChecksOut(sets / dated[1]);
}

namespace {

// The test's stand-in for the game, built beside this test program.
std::wstring TestGame() {
    wchar_t self[MAX_PATH];
    std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    return path.substr(0, path.find_last_of(L'\\')) + L"\\test_game.exe";
}

// Leaves the Task Scheduler without the daily task, before and after.
class ScheduleRunTest : public CommandRunTest {
protected:
    void SetUp() override { UnscheduleDailyBackup(); }
    void TearDown() override { UnscheduleDailyBackup(); }
};

struct ScheduleStep {
    const char* name;
    std::function<std::wstring(const ScratchDir& sets)> arguments;
    DWORD exitCode;
    const char* says;
    const wchar_t* taskSays;  // a part of the registered task's description; nullptr: no task
    const char* cronStarts = nullptr;  // under Wine, the start of the output's last line: the crontab line
};

// The output's last line, without its line end.
std::string LastLine(const std::string& output) {
    std::string text = output.substr(0, output.find_last_not_of("\r\n") + 1);
    return text.substr(text.find_last_of('\n') + 1);
}

}  // namespace

// Each backup from the command line keeps its outcome; /schedule tells the last one, and a
// restore or verify leaves it as it was.
TEST_F(ScheduleRunTest, ScheduleTellsHowTheLastBackupWithoutAWindowEnded) {
    const std::wstring state = LastWindowlessBackupPath();
    DeleteFileW(state.c_str());
    EXPECT_NE(RunProgram(L"/schedule").output.find(Narrow(texts::LastRunNone)), std::string::npos);
    ProgramRun missing = RunProgram(L"/backup " + Quoted(sets / L"missing"));
    ASSERT_EQ(missing.exitCode, 1u);
    std::optional<WindowlessBackup> last = ReadWindowlessBackup(state);
    ASSERT_TRUE(last);
    EXPECT_EQ(last->exitCode, 1);
    EXPECT_EQ(last->folder, sets / L"missing");
    EXPECT_TRUE(last->FailureStands());
    ProgramRun shown = RunProgram(L"/schedule");
    EXPECT_NE(shown.output.find("No daily backup is set up"), std::string::npos) << shown.output;
    EXPECT_NE(shown.output.find("into " + Narrow(sets / L"missing") + ", failed: nothing of that name exists"),
              std::string::npos)
        << shown.output;
    ASSERT_EQ(RunProgram(L"/verify " + Quoted(sets / L"missing")).exitCode, 1u);
    EXPECT_EQ(ReadWindowlessBackup(state)->folder, sets / L"missing");
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path())).exitCode, 0u);
    EXPECT_NE(RunProgram(L"/schedule").output.find("into " + Narrow(sets.Path()) + ", is complete."), std::string::npos);
    DeleteFileW(state.c_str());
}

// A history that stopped growing while the daily backup is set up is told by /verify.
TEST_F(ScheduleRunTest, VerifySaysWhenTheDailyBackupStoppedAddingSets) {
    ASSERT_EQ(RunProgram(L"/backup " + Quoted(sets.Path()) + L" /dated").exitCode, 0u);
    const std::wstring marker = DatedSets(sets.Path()).back().marker;
    WritePrivateProfileStringW(L"Backup", L"Made_UTC", L"2026-12-01T20:00:00Z", marker.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, marker.c_str());
    const std::string stale = "The newest set is from 2026-12-01: the daily backup has not run since.";
    EXPECT_EQ(RunProgram(L"/verify " + Quoted(sets.Path())).output.find(stale), std::string::npos);
    ASSERT_EQ(RunProgram(L"/schedule " + Quoted(sets.Path()) + L" /at 21:00").exitCode, 0u);
    ProgramRun verified = RunProgram(L"/verify " + Quoted(sets.Path()));
    EXPECT_EQ(verified.exitCode, 0u) << verified.output;
    EXPECT_NE(verified.output.find(stale), std::string::npos) << verified.output;
}

TEST_F(ScheduleRunTest, ScheduleReplacesShowsAndUnscheduleRemovesTheDailyTask) {
    MakeDirs(sets / L"first");
    MakeDirs(sets / L"second 'quoted' 100%");
    const ScheduleStep steps[] = {
        {"none yet", [](auto&) { return L"/schedule"; }, 0, "No daily backup", nullptr},
        {"a folder that is not there", [](auto& s) { return L"/schedule " + Quoted(s / L"gone") + L" /at 21:00"; }, 1,
         "not set up", nullptr},
        {"set up", [](auto& s) { return L"/schedule " + Quoted(s / L"first") + L" /at 21:30 /keep 7"; }, 0,
         "Daily backup set up", L"first every day at 21:30, keeping the newest 7.", "30 21 * * * "},
        {"replaced", [](auto& s) { return L"/schedule " + Quoted(s / L"second 'quoted' 100%") + L" /at 6:05"; }, 0,
         "every day at 06:05", L"100% every day at 06:05, keeping the newest 14.", "5 6 * * * "},
        {"shown", [](auto&) { return L"/schedule"; }, 0, "100% every day at 06:05", L"06:05"},
        {"removed", [](auto&) { return L"/unschedule"; }, 0, "was removed", nullptr},
        {"removed again", [](auto&) { return L"/unschedule"; }, 0, "No daily backup", nullptr},
    };
    for (const ScheduleStep& step : steps) {
        SCOPED_TRACE(step.name);
        ProgramRun run = RunProgram(step.arguments(sets));
        EXPECT_EQ(run.exitCode, step.exitCode) << run.output;
        EXPECT_NE(run.output.find(step.says), std::string::npos) << run.output;
        if (step.cronStarts && WineVersion()) {
            EXPECT_EQ(LastLine(run.output).rfind(step.cronStarts, 0), 0u) << run.output;
        }
        // Under Wine the lines are a Linux shell's: cron runs the last one as it stands.
        if (WineVersion()) {
            EXPECT_EQ(run.output.find('\r'), std::string::npos) << run.output;
        }
        std::optional<ScheduledTask> task = ScheduledDailyBackup();
        ASSERT_EQ(task.has_value(), step.taskSays != nullptr);
        if (task) {
            EXPECT_NE(task->description.find(step.taskSays), std::wstring::npos) << Narrow(task->description);
        }
    }
}

TEST_F(CommandRunTest, PlayRefusesABackupItCannotMakeBeforeTheGameStarts) {
    ProgramRun run = RunProgram(L"/play " + Quoted(TestGame()) + L" " + Quoted(GameFolder::Path()) + L" 0 /backup " +
                                Quoted(sets / L"gone"));
    EXPECT_EQ(run.exitCode, 1u) << run.output;
    EXPECT_NE(run.output.find(Narrow(sets / L"gone")), std::string::npos) << run.output;
    EXPECT_FALSE(PathExists(GameFolder::Sub(L"saves\\arguments.txt"))) << "the game was started";
}

TEST_F(CommandRunTest, PlayBacksUpOnlyOnceTheGameAndWhatItStartedHaveEnded) {
    const std::wstring set = sets / L"played";
    MakeDirs(set);
    ProgramRun run = RunProgram(L"/play " + Quoted(TestGame()) + L" " + Quoted(GameFolder::Path()) +
                                L" 7 /fullscreen \"two words\" -backup=no /backup " + Quoted(set));
    EXPECT_EQ(run.exitCode, 0u) << run.output;
    EXPECT_NE(run.output.find("ended with exit code 7. Backup complete"), std::string::npos) << run.output;
    EXPECT_EQ(ReadTextFile(set + L"\\saves\\arguments.txt"), "/fullscreen|two words|-backup=no");
    EXPECT_EQ(ReadTextFile(set + L"\\saves\\last.sav"), "the game's last save");
    EXPECT_EQ(ReadTextFile(set + L"\\saves\\left running.sav"), "written after the game ended");
    std::wstring game = TestGame();
    EXPECT_EQ(Widen(ReadTextFile(set + L"\\saves\\started in.txt")), game.substr(0, game.find_last_of(L'\\')));
}
