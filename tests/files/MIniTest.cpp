#include "TestSupport.h"
#include "files/MIni.h"
#include "runtime/TextConv.h"

TEST(MIni, ValuesComeBackAsWritten) {
    ScratchDir dir;
    const std::wstring file = dir / L"settings \u4e2d.ini";
    const std::pair<std::wstring, std::wstring> values[] = {
        {L"Plain", L"value"},
        {L"Path", L"C:\\Some Folder\\x"},
        {L"Empty", L""},
        {L"Long", std::wstring(254, L'v')},
    };
    for (const auto& [key, value] : values)
        WriteIni(file, L"Section", key, value);
    for (const auto& [key, value] : values)
        EXPECT_EQ(ReadIni(file, L"Section", key), value) << Narrow(key);
}

TEST(MIni, MissingFileSectionOrKeyReadsEmpty) {
    ScratchDir dir;
    const std::wstring file = dir / L"settings.ini";
    WriteIni(file, L"Section", L"Key", L"value");
    EXPECT_EQ(ReadIni(dir / L"missing.ini", L"Section", L"Key"), L"");
    EXPECT_EQ(ReadIni(file, L"Other", L"Key"), L"");
    EXPECT_EQ(ReadIni(file, L"Section", L"Other"), L"");
}

TEST(MIni, LongValueIsCutTo254Characters) {
    ScratchDir dir;
    const std::wstring file = dir / L"settings.ini";
    std::wstring value;
    for (int i = 0; i < 300; ++i)
        value.push_back(static_cast<wchar_t>(L'a' + i % 26));
    WriteIni(file, L"Section", L"Key", value);
    EXPECT_EQ(ReadIni(file, L"Section", L"Key"), value.substr(0, 254));
}

TEST(MIni, SectionAndKeyMatchRegardlessOfCase) {
    ScratchDir dir;
    const std::wstring file = dir / L"settings.ini";
    WriteIni(file, L"Backup", L"Version", L"one");
    EXPECT_EQ(ReadIni(file, L"BACKUP", L"version"), L"one");
    WriteIni(file, L"backup", L"VERSION", L"two");
    EXPECT_EQ(ReadIni(file, L"Backup", L"Version"), L"two");
}

TEST(MIni, WritingKeepsTheFilesOtherLines) {
    ScratchDir dir;
    const std::wstring file = dir / L"settings.ini";
    WriteTextFile(file, "; a comment\r\n[Other]\r\nA=1\r\n[Section]\r\nKey=old\r\nB=2\r\n");
    WriteIni(file, L"Section", L"Key", L"new");
    EXPECT_EQ(ReadTextFile(file), "; a comment\r\n[Other]\r\nA=1\r\n[Section]\r\nKey=new\r\nB=2\r\n");
}

TEST(MIni, WriteToAMissingFolderIsSilent) {
    ScratchDir dir;
    WriteIni(dir / L"no such folder\\settings.ini", L"Section", L"Key", L"value");
    EXPECT_FALSE(PathExists(dir / L"no such folder"));
}
