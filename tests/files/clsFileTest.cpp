#include "TestSupport.h"
#include "files/FileChannels.h"
#include "files/clsFile.h"
#include "runtime/AppError.h"

TEST(FileWrite, ReplacesTheWholeContent) {
    ScratchDir dir;
    const std::wstring file = dir / L"out \u4e2d.txt";
    WriteTextFile(file, "a much longer earlier content\r\nwith two lines\r\n");
    clsFile().FileWrite(file, L"short");
    EXPECT_EQ(ReadTextFile(file), "short\r\n");
    EXPECT_EQ(FileChannels::OpenCount(), 0u);
}

TEST(FileWrite, TextOutsideTheAnsiCodePageIsKept) {
    ScratchDir dir;
    const std::wstring file = dir / L"out.txt";
    clsFile().FileWrite(file, L"caf\u00e9 \u4e2d");
    EXPECT_EQ(ReadTextFile(file), "\xEF\xBB\xBF" "caf\xC3\xA9 \xE4\xB8\xAD\r\n");
}

TEST(FileWrite, FileThatCannotBeOpenedRaisesAndLeavesNothingOpen) {
    ScratchDir dir;
    EXPECT_THROW(clsFile().FileWrite(dir / L"no such folder\\out.txt", L"x"), AppError);
    EXPECT_EQ(FileChannels::OpenCount(), 0u);
}

TEST(FileChannels, LowestFreeNumbersAndCloseAll) {
    ScratchDir dir;
    int first = FileChannels::OpenForOutput(dir / L"1.txt");
    int second = FileChannels::OpenForOutput(dir / L"2.txt");
    EXPECT_EQ(first, 1);
    EXPECT_EQ(second, 2);
    FileChannels::Close(first);
    EXPECT_EQ(FileChannels::OpenForOutput(dir / L"3.txt"), 1);
    FileChannels::CloseAll();
    EXPECT_EQ(FileChannels::OpenCount(), 0u);
    EXPECT_THROW(FileChannels::Write(second, "x"), AppError);
}
