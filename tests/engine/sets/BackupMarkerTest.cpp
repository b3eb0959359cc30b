#include <windows.h>

#include "Faults.h"
#include "TestSupport.h"
#include "engine/sets/BackupMarker.h"
#include "files/MIni.h"
#include "runtime/TextConv.h"

namespace {

SYSTEMTIME Date(WORD year, WORD month, WORD day) {
    SYSTEMTIME t{};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    return t;
}

void WriteMarker(const std::wstring& path, const std::wstring& location) {
    WriteMarkerVersion(path);
    WriteMarkerLocation(path, location);
}

std::string Utf16Bytes(const std::wstring& text) {
    std::string bytes;
    for (wchar_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

}  // namespace

TEST(MarkerPath, FolderTextJoinedAsItStands) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"D:\\Backups", L"D:\\Backups\\Tarnwick_2026.12.06.BAK"},
        {L"E:\\", L"E:\\\\Tarnwick_2026.12.06.BAK"},
        {L"", L"\\Tarnwick_2026.12.06.BAK"},
    };
    for (const auto& [folder, expected] : cases)
        EXPECT_EQ(MarkerPath(folder, Date(2026, 12, 6)), expected);
    EXPECT_EQ(MarkerPath(L"X", Date(987, 1, 31)), L"X\\Tarnwick_0987.01.31.BAK");
}

TEST(MarkerPath, TodayIsTheLocalDate) {
    SYSTEMTIME before;
    GetLocalTime(&before);
    std::wstring path = MarkerPathToday(L"D:\\b");
    SYSTEMTIME after;
    GetLocalTime(&after);
    // Around midnight the date may move on between the two readings.
    EXPECT_TRUE(path == MarkerPath(L"D:\\b", before) || path == MarkerPath(L"D:\\b", after)) << Narrow(path);
}

TEST(Marker, NewMarkerIsThreeAnsiLines) {
    ScratchDir dir;
    const std::wstring marker = MarkerPath(dir.Path(), Date(2026, 12, 6));
    WriteMarker(marker, L"D:\\Backups\\caf\u00e9 2004");
    std::string ansiLocation = "D:\\Backups\\caf\xE9 2004";
    EXPECT_EQ(ReadTextFile(marker), "[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=" + ansiLocation + "\r\n");
    EXPECT_EQ(ReadMarkerVersion(marker), L"Tarnwick");
    EXPECT_EQ(ReadMarkerLocation(marker), L"D:\\Backups\\caf\u00e9 2004");
}

TEST(Marker, SecondWriteRewritesTheKeysAndKeepsOtherLines) {
    ScratchDir dir;
    const std::wstring marker = MarkerPath(dir.Path(), Date(2026, 12, 6));
    WriteTextFile(marker, "[Backup]\r\nVersion=Old\r\nNote=kept\r\nBackup_Location=E:\\old\r\n[Other]\r\nX=1\r\n");
    WriteMarker(marker, L"E:\\new");
    EXPECT_EQ(ReadTextFile(marker),
              "[Backup]\r\nVersion=Tarnwick\r\nNote=kept\r\nBackup_Location=E:\\new\r\n[Other]\r\nX=1\r\n");
}

TEST(Marker, LocationOutsideTheAnsiCodePageIsKeptFaithfully) {
    ScratchDir dir;
    const std::wstring location = dir.Path();  // holds characters the ANSI code page lacks
    ASSERT_FALSE(FitsAnsiCodePage(location));
    const std::wstring marker = MarkerPathToday(location);
    WriteMarker(marker, location);
    EXPECT_EQ(ReadMarkerVersion(marker), L"Tarnwick");
    EXPECT_EQ(ReadMarkerLocation(marker), location);
    EXPECT_EQ(ReadTextFile(marker),
              "\xFF\xFE" + Utf16Bytes(L"[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=" + location + L"\r\n"));

    // A later write of a plain location keeps the file in the same form.
    WriteMarkerLocation(marker, L"D:\\plain");
    EXPECT_EQ(ReadMarkerLocation(marker), L"D:\\plain");
    WriteMarkerLocation(marker, location);
    EXPECT_EQ(ReadMarkerLocation(marker), location);
}

TEST(Marker, ExistingAnsiMarkerTakesALocationOutsideTheCodePage) {
    ScratchDir dir;
    const std::wstring marker = dir / L"Tarnwick_2026.12.06.BAK";
    WriteTextFile(marker, "[Backup]\r\nNote=caf\xE9\r\nVersion=Tarnwick\r\nBackup_Location=D:\\old\r\n");
    // The platform has just read the old form: its cached copy must not win.
    EXPECT_EQ(ReadMarkerLocation(marker), L"D:\\old");
    const std::wstring location = L"D:\\\u4e2d\u6587 backups";
    WriteMarkerLocation(marker, location);
    EXPECT_EQ(ReadMarkerLocation(marker), location);
    EXPECT_EQ(ReadIni(marker, L"Backup", L"Note"), L"caf\u00e9");
    EXPECT_EQ(ReadMarkerVersion(marker), L"Tarnwick");
}

TEST(Marker, MissingFileSectionOrKeyReadsEmpty) {
    ScratchDir dir;
    const std::wstring noSection = dir / L"a.BAK";
    const std::wstring noKey = dir / L"b.BAK";
    WriteTextFile(noSection, "[Other]\r\nVersion=Tarnwick\r\n");
    WriteTextFile(noKey, "[Backup]\r\nBackup_Location=D:\\x\r\n");
    for (const std::wstring& file : {dir / L"missing.BAK", noSection, noKey})
        EXPECT_EQ(ReadMarkerVersion(file), L"") << Narrow(file);
    EXPECT_EQ(ReadMarkerLocation(noKey), L"D:\\x");
}

TEST(Marker, VersionMustBeTarnwickExactly) {
    const std::pair<std::wstring, bool> cases[] = {
        {L"Tarnwick", true},   {L"tarnwick", false}, {L"TARNWICK", false},
        {L"Tarnwick ", false}, {L" Tarnwick", false}, {L"", false},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(IsTarnwickVersion(value), expected) << Narrow(value);
}

TEST(Marker, WriteToAFolderThatCannotTakeItIsSilent) {
    ScratchDir dir;
    const std::wstring marker = MarkerPathToday(dir / L"no such folder");
    WriteMarker(marker, dir / L"no such folder");
    EXPECT_FALSE(PathExists(marker));
}

TEST(Marker, StagedMarkerKeepsTheEarlierOnesOtherContentAndLeavesItAsItIs) {
    ScratchDir dir;
    const std::string earlier = "[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=D:\\old\r\n; a note\r\n";
    std::wstring marker = dir / L"Tarnwick_2026.12.06.BAK";
    WriteTextFile(marker, earlier);
    std::wstring staged = dir / L"staged.BAK";
    ASSERT_TRUE(WriteMarkerFile(staged, L"E:\\new", marker).Ok());
    EXPECT_EQ(ReadTextFile(marker), earlier);
    EXPECT_EQ(ReadMarkerLocation(staged), L"E:\\new");
    EXPECT_NE(ReadTextFile(staged).find("; a note"), std::string::npos);
}
