#include <windows.h>

#include "FileFixtures.h"
#include "TestSupport.h"
#include "files/FileChannels.h"
#include "files/clsFileSystem.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

std::wstring DecimalSeparator() {
    wchar_t separator[8] = L".";
    GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, separator, 8);
    return separator;
}

void SetWriteTime(const std::wstring& path, const SYSTEMTIME& local) {
    SYSTEMTIME utc;
    FILETIME time;
    ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
    ASSERT_TRUE(SystemTimeToFileTime(&utc, &time));
    HANDLE file = CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(SetFileTime(file, nullptr, nullptr, &time));
    CloseHandle(file);
}

}  // namespace

TEST(GetFileSize, BytesBelowOneKilobyteElseKilobytesToFourDecimals) {
    ScratchDir dir;
    const std::wstring sep = DecimalSeparator();
    const std::pair<std::uint64_t, std::wstring> cases[] = {
        {0, L"0B"},
        {1000, L"1000B"},
        {1023, L"1023B"},
        {1024, L"1KB"},
        {1536, L"1" + sep + L"5KB"},
        {5000, L"4" + sep + L"8828KB"},
        {10000, L"9" + sep + L"7656KB"},
        {1048576, L"1024KB"},
        // Exactly half way between two last decimals: to the even one.
        {1056, L"1" + sep + L"0312KB"},
        {1120, L"1" + sep + L"0938KB"},
    };
    clsFileSystem fs;
    for (const auto& [bytes, expected] : cases) {
        const std::wstring file = dir / (std::to_wstring(bytes) + L" \u4e2d.bin");
        WriteSizedFile(file, bytes);
        EXPECT_EQ(fs.GetFileSize(file), expected) << bytes << " bytes";
    }
    EXPECT_EQ(fs.GetFileSize(dir / L"missing.bin"), L"0B");
}

TEST(GetFileSize, BeyondTwoGigabytesStillRight) {
    ScratchDir dir;
    const std::wstring file = dir / L"big.bin";
    {
        HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        LARGE_INTEGER size;
        size.QuadPart = 3LL * 1024 * 1024 * 1024;  // sparse on the Linux side
        EXPECT_TRUE(SetFilePointerEx(h, size, nullptr, FILE_BEGIN) && SetEndOfFile(h));
        CloseHandle(h);
    }
    EXPECT_EQ(clsFileSystem().GetFileSize(file), L"3145728KB");
}

TEST(GetAttrib, NamesSingleBitsAndGivesCombinationsInDigits) {
    ScratchDir dir;
    WriteTextFile(dir / L"fresh.txt", "x");
    WriteTextFile(dir / L"file.txt", "x");
    MakeDirs(dir / L"folder");
    clsFileSystem fs;
    ASSERT_TRUE(SetFileAttributesW((dir / L"file.txt").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(fs.GetAttrib(dir / L"file.txt"), L"33");
    EXPECT_EQ(fs.GetAttrib(dir / L"fresh.txt"), L"Archive");
    EXPECT_EQ(fs.GetAttrib(dir / L"folder"), L"Directory");
    EXPECT_EQ(fs.GetAttrib(dir / L"missing.txt"), L"Unknown");
}

TEST(AttributeSetters, ReplaceTheWholeWord) {
    ScratchDir dir;
    const std::wstring file = dir / L"file \u4e2d.txt";
    WriteTextFile(file, "x");
    // Wine reports every ordinary file as archived whatever is stored: not looked at.
    auto bits = [&] { return GetFileAttributesW(file.c_str()) & ~(FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL); };
    struct Case {
        void (clsFileSystem::*set)(const std::wstring&) const;
        DWORD expected;
    };
    const Case setters[] = {
        {&clsFileSystem::SetReadOnly, FILE_ATTRIBUTE_READONLY},
        {&clsFileSystem::SetHidden, FILE_ATTRIBUTE_HIDDEN},
        {&clsFileSystem::SetSystem, FILE_ATTRIBUTE_SYSTEM},
        {&clsFileSystem::SetNormal, 0},
        {&clsFileSystem::SetHidden, FILE_ATTRIBUTE_HIDDEN},
    };
    clsFileSystem fs;
    for (const auto& c : setters) {
        (fs.*c.set)(file);
        EXPECT_EQ(bits(), c.expected);
    }
    fs.SetHidden(dir / L"missing.txt");  // ignored
}

TEST(GetFileDate, LocaleShortDateAndTimeWithoutTimeAtMidnight) {
    ScratchDir dir;
    const std::wstring file = dir / L"dated.txt";
    WriteTextFile(file, "x");
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = 6;
    SetWriteTime(file, time);
    const std::wstring midnight = clsFileSystem().GetFileDate(file);
    EXPECT_FALSE(midnight.empty());
    EXPECT_EQ(midnight.find(L' '), std::wstring::npos) << Narrow(midnight);
    EXPECT_NE(midnight.find(L"2026"), std::wstring::npos) << Narrow(midnight);

    time.wHour = 15;
    time.wMinute = 4;
    time.wSecond = 5;
    SetWriteTime(file, time);
    const std::wstring afternoon = clsFileSystem().GetFileDate(file);
    EXPECT_EQ(afternoon.rfind(midnight + L" ", 0), 0u) << Narrow(afternoon);
    EXPECT_NE(afternoon.find(L"04"), std::wstring::npos) << Narrow(afternoon);
    EXPECT_NE(afternoon.find(L"05"), std::wstring::npos) << Narrow(afternoon);

    EXPECT_EQ(clsFileSystem().GetFileDate(dir / L"missing.txt"), L"");
}

TEST(GetFileBaseName, WithAndWithoutTheFolder) {
    struct Case {
        std::wstring name;
        std::wstring withoutPath;
        std::wstring withPath;
    };
    const Case cases[] = {
        {L"C:\\dir\\report.final.txt", L"report.final", L"C:\\dir\\report.final"},
        {L"C:\\dir.x\\file", L"file", L"C:\\dir.x\\file"},
        {L"C:\\a\\.b", L"", L"C:\\a\\"},
        {L"C:\\a\\b.", L"b", L"C:\\a\\b"},
        {L"C:name.ext", L"name", L"C:name"},
        {L"plain.txt", L"plain", L"plain"},
        {L"", L"", L""},
    };
    clsFileSystem fs;
    for (const auto& c : cases) {
        EXPECT_EQ(fs.GetFileBaseName(c.name, false), c.withoutPath) << Narrow(c.name);
        EXPECT_EQ(fs.GetFileBaseName(c.name, true), c.withPath) << Narrow(c.name);
    }
}

TEST(GetPath, FolderPartWithItsSeparator) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"C:\\dir\\file.txt", L"C:\\dir\\"},
        {L"C:\\dir\\", L"C:\\dir\\"},
        {L"file.txt", L"\\"},
        {L"", L"\\"},
    };
    clsFileSystem fs;
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(fs.GetPath(path), expected) << Narrow(path);
}

TEST(FileMove, SourceGoesOnlyAfterAGoodCopy) {
    ScratchDir dir;
    WriteTextFile(dir / L"from.txt", "moved");
    WriteTextFile(dir / L"to.txt", "replaced");
    EXPECT_TRUE(clsFileSystem().MoveFile(dir / L"from.txt", dir / L"to.txt"));
    EXPECT_FALSE(PathExists(dir / L"from.txt"));
    EXPECT_EQ(ReadTextFile(dir / L"to.txt"), "moved");

    WriteTextFile(dir / L"stays.txt", "stays");
    const std::pair<std::wstring, std::wstring> failures[] = {
        {dir / L"missing.txt", dir / L"to.txt"},
        {dir / L"stays.txt", dir / L"no such folder\\to.txt"},
    };
    for (const auto& [source, destination] : failures) {
        MsgBoxRecorder boxes;
        EXPECT_FALSE(clsFileSystem().MoveFile(source, destination));
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::ErrorMovingFile});
    }
    EXPECT_EQ(ReadTextFile(dir / L"to.txt"), "moved");
    EXPECT_EQ(ReadTextFile(dir / L"stays.txt"), "stays");
}

TEST(MakeAndRemoveDIR, OneFolderAtATime) {
    ScratchDir dir;
    clsFileSystem fs;
    fs.MakeDIR(dir / L"new \u4e2d");
    EXPECT_TRUE(IsDirectory(dir / L"new \u4e2d"));
    fs.MakeDIR(dir / L"new \u4e2d");                // exists: ignored
    fs.MakeDIR(dir / L"missing parent\\child");  // ignored
    EXPECT_FALSE(PathExists(dir / L"missing parent"));

    EXPECT_TRUE(fs.RemoveDIR(dir / L"new \u4e2d"));
    EXPECT_FALSE(PathExists(dir / L"new \u4e2d"));

    MakeDirs(dir / L"full");
    WriteTextFile(dir / L"full\\x.txt", "x");
    for (const std::wstring& path : {dir / L"full", dir / L"missing"}) {
        MsgBoxRecorder boxes;
        EXPECT_FALSE(fs.RemoveDIR(path));
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::ErrorRemovingDirectory}) << Narrow(path);
    }
    EXPECT_TRUE(PathExists(dir / L"full\\x.txt"));
}

TEST(Save, AsksOnlyForABareNameInTheCurrentFolder) {
    ScratchDir dir;
    WriteTextFile(dir / L"old.txt", "x");
    CurrentFolderScope here(dir.Path());
    clsFileSystem fs;
    {
        MsgBoxRecorder boxes;
        fs.Save(dir / L"old.txt");
        EXPECT_TRUE(boxes.Calls().empty());
        EXPECT_TRUE(PathExists(dir / L"old.txt"));
    }
    {
        MsgBoxRecorder boxes;
        boxes.QueueAnswer(MsgResult::No);
        fs.Save(L"old.txt");
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, texts::OverwriteFile);
        EXPECT_EQ(boxes.Calls()[0].buttons, MsgButtons::YesNo);
        EXPECT_EQ(boxes.Calls()[0].icon, MsgIcon::None);
        EXPECT_TRUE(PathExists(dir / L"old.txt"));
    }
    {
        MsgBoxRecorder boxes;
        boxes.QueueAnswer(MsgResult::Yes);
        fs.Save(L"old.txt");
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::OverwriteFile});
        EXPECT_FALSE(PathExists(dir / L"old.txt"));
    }
}

TEST(CloseAllFiles, ClosesWhatTheWriterLeftOpen) {
    ScratchDir dir;
    FileChannels::OpenForOutput(dir / L"1.txt");
    FileChannels::OpenForOutput(dir / L"2.txt");
    clsFileSystem().CloseAllFiles();
    EXPECT_EQ(FileChannels::OpenCount(), 0u);
    // Closed for real: the files can be opened exclusively now.
    HANDLE h = CreateFileW((dir / L"1.txt").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
}
