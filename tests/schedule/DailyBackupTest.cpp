#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <xmllite.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
#include "runtime/Com.h"
#include "runtime/TextConv.h"
#include "schedule/DailyBackup.h"

namespace {

// The elements of an XML text by their path ("Task/Actions/Exec/Command") with their
// text, read by the system's own XML reader (XmlLite), as the Task Scheduler reads it.
std::map<std::wstring, std::wstring> ReadXml(const std::wstring& xml) {
    using Create = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    static HMODULE library = LoadLibraryW(L"xmllite.dll");
    auto create = reinterpret_cast<Create>(reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")));
    EXPECT_NE(create, nullptr);
    ComPtr<IXmlReader> reader;
    EXPECT_EQ(create(__uuidof(IXmlReader), reader.ReceiveVoid(), nullptr), S_OK);
    // UTF-16 with its byte order mark, as the declaration says.
    std::wstring text = L"\xFEFF" + xml;
    ComPtr<IStream> stream;
    *stream.Receive() = SHCreateMemStream(reinterpret_cast<const BYTE*>(text.data()),
                                          static_cast<UINT>(text.size() * sizeof(wchar_t)));
    EXPECT_EQ(reader->SetInput(stream.Get()), S_OK);
    std::map<std::wstring, std::wstring> found;
    std::vector<std::wstring> path;
    XmlNodeType node;
    HRESULT hr;
    while ((hr = reader->Read(&node)) == S_OK) {
        const wchar_t* value = nullptr;
        if (node == XmlNodeType_Element) {
            reader->GetLocalName(&value, nullptr);
            path.push_back(value);
            if (reader->IsEmptyElement())
                path.pop_back();
        } else if (node == XmlNodeType_EndElement) {
            path.pop_back();
        } else if (node == XmlNodeType_Text) {
            reader->GetValue(&value, nullptr);
            std::wstring key;
            for (const std::wstring& part : path)
                key += (key.empty() ? L"" : L"/") + part;
            found[key] = value;
        }
    }
    EXPECT_EQ(hr, S_FALSE) << "the XML is not well formed";
    return found;
}

std::vector<std::wstring> SplitLikeAProgram(const std::wstring& arguments) {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW((L"bkTrnwck.exe " + arguments).c_str(), &count);
    std::vector<std::wstring> split(argv + 1, argv + count);
    LocalFree(argv);
    return split;
}

struct TaskCase {
    const wchar_t* folder;
    TimeOfDay at;
    unsigned keep;
};

// Spaces, a root with its trailing backslash, characters outside the ANSI code page, and
// the characters XML must escape.
const TaskCase kTasks[] = {
    {L"D:\\Tarnwick backups", {21, 0}, 14},
    {L"D:\\", {0, 0}, 1},
    {L"C:\\Ωmega 中\\sets", {23, 59}, 9999},
    {L"\\\\nas\\R&D <saves> backups\\", {7, 5}, 3},
};

}  // namespace

TEST(DailyTaskXmlTest, TheTaskRunsTheBackupTheProgramReadsBack) {
    const SYSTEMTIME day{2026, 12, 2, 8, 0, 0, 0, 0};
    for (const TaskCase& c : kTasks) {
        SCOPED_TRACE(Narrow(c.folder));
        DailyBackup backup{L"C:\\Program Files\\Backup Tarnwick\\bkTrnwck.exe", c.folder, c.at, c.keep};
        std::map<std::wstring, std::wstring> task = ReadXml(DailyTaskXml(backup, day));
        EXPECT_EQ(task[L"Task/Actions/Exec/Command"], backup.program);
        Command command = ParseCommandLine(SplitLikeAProgram(task[L"Task/Actions/Exec/Arguments"]));
        EXPECT_EQ(command.kind, CommandKind::Backup) << Narrow(command.problem);
        EXPECT_EQ(command.path, c.folder);
        EXPECT_TRUE(command.dated);
        EXPECT_EQ(command.keep, c.keep);
        EXPECT_EQ(task[L"Task/Triggers/CalendarTrigger/StartBoundary"], L"2026-12-08T" + c.at.Text() + L":00");
        EXPECT_EQ(task[L"Task/Triggers/CalendarTrigger/ScheduleByDay/DaysInterval"], L"1");
        EXPECT_EQ(task[L"Task/Principals/Principal/RunLevel"], L"LeastPrivilege");
        EXPECT_EQ(task[L"Task/Settings/StartWhenAvailable"], L"true");
        EXPECT_NE(task[L"Task/RegistrationInfo/Description"].find(c.folder), std::wstring::npos);
    }
}

TEST(DailyCronLineTest, EachWordReachesTheProgramAsItStands) {
    struct Case {
        const wchar_t* folder;
        WineRun wine;
        const wchar_t* line;
    };
    const Case cases[] = {
        // The locale of the run that set it up: cron's own would spell "Ωmega.sav" otherwise.
        {L"C:\\Tarnwick backups", {L"/home/ann/bin/bkTrnwck.exe", L"/home/ann/.wine", L"en_GB.UTF-8"},
         L"30 23 * * * WINEPREFIX=/home/ann/.wine LC_ALL=en_GB.UTF-8 WINEDEBUG=-all wine /home/ann/bin/bkTrnwck.exe "
         L"/backup 'C:\\Tarnwick backups' /dated /keep 14"},
        // A quote closes and reopens the shell's quotes; cron ends the command at a bare %.
        {L"C:\\ann's 100%", {L"/home/ann/bin/bkTrnwck.exe", L"/home/ann/wine prefix", L""},
         L"30 23 * * * WINEPREFIX='/home/ann/wine prefix' WINEDEBUG=-all wine /home/ann/bin/bkTrnwck.exe /backup "
         L"'C:\\ann'\\''s 100\\%' /dated /keep 14"},
    };
    for (const Case& c : cases) {
        DailyBackup backup{L"C:\\bin\\bkTrnwck.exe", c.folder, {23, 30}, 14};
        EXPECT_EQ(DailyCronLine(backup, c.wine), c.line);
    }
}

TEST(DailyBackupTest, TimesAndCountsAsTyped) {
    const std::pair<const wchar_t*, std::optional<TimeOfDay>> times[] = {
        {L"21:00", TimeOfDay{21, 0}}, {L"7:05", TimeOfDay{7, 5}}, {L" 00:00 ", TimeOfDay{0, 0}},
        {L"23:59", TimeOfDay{23, 59}}, {L"24:00", std::nullopt}, {L"12:60", std::nullopt}, {L"12:5", std::nullopt},
        {L"21.00", std::nullopt}, {L"", std::nullopt}, {L"-1:00", std::nullopt}, {L"123:00", std::nullopt},
    };
    for (const auto& [text, time] : times)
        EXPECT_EQ(TimeOfDay::Parse(text), time) << Narrow(text);
    const std::pair<const wchar_t*, std::optional<unsigned>> counts[] = {
        {L"1", 1u}, {L"14", 14u}, {L"9999", 9999u}, {L"0", std::nullopt}, {L"10000", std::nullopt},
        {L"-3", std::nullopt}, {L"", std::nullopt}, {L"1 4", std::nullopt},
    };
    for (const auto& [text, count] : counts)
        EXPECT_EQ(ParseSetsKept(text), count) << Narrow(text);
}
