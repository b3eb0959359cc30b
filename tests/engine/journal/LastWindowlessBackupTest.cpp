// The outcome of the last backup without a window: read back as written, and a file that
// is damaged or cut short is no outcome at all.

#include <windows.h>

#include "TestSupport.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "runtime/TextConv.h"

namespace {

WindowlessBackup Failed() {
    return {SYSTEMTIME{2026, 12, 2, 8, 21, 0, 5, 0}, L"D:\\Tarnwick backups \u00e9", 1,
            L"nothing of that name exists.", L"Backup into D:\\x not started:\nnothing of that name exists.", false};
}

TEST(LastWindowlessBackupTest, ReadsBackWhatWasRecordedAndACompletedBackupAnswersIt) {
    ScratchDir dir;
    const std::wstring path = dir / L"state\\last windowless backup.txt";
    ASSERT_TRUE(RecordWindowlessBackup(path, Failed()).Ok());
    std::optional<WindowlessBackup> read = ReadWindowlessBackup(path);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->folder, Failed().folder);
    EXPECT_EQ(read->exitCode, 1);
    EXPECT_EQ(read->reason, Failed().reason);
    EXPECT_EQ(read->line, L"Backup into D:\\x not started: nothing of that name exists.");
    EXPECT_EQ(read->time.wMinute, 0);
    EXPECT_TRUE(read->FailureStands());
    NoteBackupCompleted(path);
    read = ReadWindowlessBackup(path);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->FailureStands());
    EXPECT_EQ(read->exitCode, 1);  // still what the last windowless run did
}

TEST(LastWindowlessBackupTest, ADamagedOrCutFileIsNoOutcome) {
    ScratchDir dir;
    const std::wstring path = dir / L"last windowless backup.txt";
    ASSERT_TRUE(RecordWindowlessBackup(path, Failed()).Ok());
    const std::string whole = ReadTextFile(path);
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string text = whole;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        const char* name;
        std::string text;
    } cases[] = {
        {"cut in the last line", whole.substr(0, whole.size() - 3)},
        {"cut after the time", whole.substr(0, whole.find("folder="))},
        {"empty", ""},
        {"another heading", replaced("Backup Tarnwick", "Backup Other")},
        {"an exit code beyond 3", replaced("exit=1", "exit=4")},
        {"a time that cannot be", replaced("2026-12-08", "2026-13-08")},
        {"no folder", replaced("folder=D:", "folder=\r\nx=D:")},
        {"keys out of order", replaced("exit=1\r\n", "") + "exit=1\r\n"},
        {"completedSince not 0 or 1", replaced("completedSince=0", "completedSince=yes")},
    };
    for (const auto& c : cases) {
        WriteTextFile(path, c.text);
        EXPECT_FALSE(ReadWindowlessBackup(path)) << c.name;
    }
}

}  // namespace
