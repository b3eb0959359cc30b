#include <windows.h>

#include "FileFixtures.h"
#include "TestSupport.h"
#include "files/MFile.h"
#include "files/TreeCompare.h"
#include "runtime/DoEvents.h"
#include "runtime/MousePointer.h"
#include "runtime/TextConv.h"

namespace {

// A small game folder: files at two depths, an empty sub-folder, a name outside the
// ANSI code page.
void MakeGameFolder(const std::wstring& root) {
    MakeDirs(root + L"\\slot 1\\deep");
    MakeDirs(root + L"\\empty");
    WriteTextFile(root + L"\\top.sav", "top");
    WriteTextFile(root + L"\\slot 1\\\u4e2d.sav", "slot one");
    WriteTextFile(root + L"\\slot 1\\deep\\d.sav", "deep");
}

}  // namespace

TEST(CopyFolder, NestedTreeArrivesWholeUnderItsOwnName) {
    const std::wstring suffixes[] = {L"", L"\\"};
    for (const auto& suffix : suffixes) {
        ScratchDir dir;
        MakeGameFolder(dir / L"game\\saves");
        MakeDirs(dir / L"backup");
        MsgBoxRecorder boxes;
        CopyFolderResult result = CopyFolder(dir / L"game\\saves" + suffix, dir / L"backup");
        EXPECT_TRUE(result.whole) << "suffix " << Narrow(suffix);
        EXPECT_EQ(result.firstDifference, L"");
        EXPECT_EQ(ListTree(dir / L"backup\\saves"), ListTree(dir / L"game\\saves"));
        EXPECT_TRUE(boxes.Calls().empty());
        EXPECT_EQ(CurrentMousePointer(), MousePointer::Default);
    }
}

TEST(CopyFolder, HourglassWhileItWorks) {
    ScratchDir dir;
    MakeDirs(dir / L"backup");
    std::vector<MousePointer> seen;
    auto previous = SetYieldHook([&] { seen.push_back(CurrentMousePointer()); });
    CopyFolderResult result = CopyFolder(dir / L"game\\maps", dir / L"backup");
    SetYieldHook(previous);
    EXPECT_TRUE(result.whole);
    ASSERT_FALSE(seen.empty());
    EXPECT_EQ(seen.front(), MousePointer::Hourglass);
    EXPECT_EQ(CurrentMousePointer(), MousePointer::Default);
}

TEST(CopyFolder, MissingSourceBecomesAnEmptyFolderAtBothEnds) {
    ScratchDir dir;
    MakeDirs(dir / L"backup");
    MsgBoxRecorder boxes;
    CopyFolderResult result = CopyFolder(dir / L"game\\scores", dir / L"backup");
    EXPECT_TRUE(result.whole);
    EXPECT_TRUE(IsDirectory(dir / L"game\\scores"));
    EXPECT_TRUE(IsDirectory(dir / L"backup\\scores"));
    EXPECT_TRUE(ListTree(dir / L"backup\\scores").empty());
    EXPECT_TRUE(boxes.Calls().empty());
}

TEST(CopyFolder, SecondCopyMergesReplacingEqualNames) {
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    MakeDirs(dir / L"backup\\saves\\slot 1");
    WriteTextFile(dir / L"backup\\saves\\top.sav", "an older and longer top");
    WriteTextFile(dir / L"backup\\saves\\kept.sav", "kept");
    WriteTextFile(dir / L"backup\\saves\\slot 1\\kept too.sav", "kept too");
    MsgBoxRecorder boxes;
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    EXPECT_TRUE(result.whole);
    EXPECT_TRUE(boxes.Calls().empty());
    EXPECT_EQ(ReadTextFile(dir / L"backup\\saves\\top.sav"), "top");
    EXPECT_EQ(ReadTextFile(dir / L"backup\\saves\\slot 1\\deep\\d.sav"), "deep");
    EXPECT_EQ(ReadTextFile(dir / L"backup\\saves\\kept.sav"), "kept");
    EXPECT_EQ(ReadTextFile(dir / L"backup\\saves\\slot 1\\kept too.sav"), "kept too");
}

TEST(CopyFolder, DestinationThatIsAFileIsReported) {
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    WriteTextFile(dir / L"backup", "a file, not a folder");
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.firstDifference, dir / L"game\\saves");
    EXPECT_EQ(ReadTextFile(dir / L"backup"), "a file, not a folder");
}

TEST(CopyFolder, TargetFileThatCannotBeReplacedIsReported) {
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    MakeDirs(dir / L"backup\\saves\\slot 1");
    WriteTextFile(dir / L"backup\\saves\\slot 1\\\u4e2d.sav", "stale, of another size");
    ImmutableScope frozen(dir / L"backup\\saves\\slot 1\\\u4e2d.sav");
    if (!frozen.Ok())
        GTEST_SKIP() << "needs Wine and chattr to make a file the platform cannot replace";
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.firstDifference, dir / L"game\\saves\\slot 1\\\u4e2d.sav");
}

TEST(CopyFolder, DestinationFolderThatCannotBeWrittenIsReported) {
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    MakeDirs(dir / L"backup");
    ImmutableScope frozen(dir / L"backup");
    if (!frozen.Ok())
        GTEST_SKIP() << "needs Wine and chattr to make a folder the platform cannot write";
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.firstDifference, dir / L"game\\saves");
}

TEST(CopyFolder, TargetFileHeldOpenByAnotherIsReported) {
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    MakeDirs(dir / L"backup\\saves");
    WriteTextFile(dir / L"backup\\saves\\top.sav", "held open");
    HANDLE held = CreateFileW((dir / L"backup\\saves\\top.sav").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                              0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    CloseHandle(held);
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.firstDifference, dir / L"game\\saves\\top.sav");
}

// The completeness check on its own, on trees built by hand.
TEST(FirstDifference, FindsWhatIsMissingOrDiffers) {
    struct Case {
        const char* what;
        void (*spoil)(const std::wstring& copy);
        std::wstring expected;  // relative to the source, "" for whole, "." for the root
    };
    const Case cases[] = {
        {"identical", [](const std::wstring&) {}, L""},
        {"extra entries in the copy", [](const std::wstring& c) { WriteTextFile(c + L"\\more.sav", "m"); }, L""},
        {"names differ only in case",
         [](const std::wstring& c) {
             MoveFileW((c + L"\\top.sav").c_str(), (c + L"\\TOP.SAV").c_str());
         },
         L""},
        {"missing file", [](const std::wstring& c) { DeleteFileW((c + L"\\top.sav").c_str()); }, L"top.sav"},
        {"other size deep down",
         [](const std::wstring& c) { WriteTextFile(c + L"\\slot 1\\deep\\d.sav", "longer"); },
         L"slot 1\\deep\\d.sav"},
        {"missing empty folder", [](const std::wstring& c) { RemoveDirectoryW((c + L"\\empty").c_str()); },
         L"empty"},
        {"file where a folder was",
         [](const std::wstring& c) {
             RemoveDirectoryW((c + L"\\empty").c_str());
             WriteTextFile(c + L"\\empty", "");
         },
         L"empty"},
        {"folder where a file was",
         [](const std::wstring& c) {
             DeleteFileW((c + L"\\top.sav").c_str());
             MakeDirs(c + L"\\top.sav");
         },
         L"top.sav"},
        {"no copy at all", [](const std::wstring& c) { RemoveTree(c); }, L"."},
    };
    for (const auto& c : cases) {
        ScratchDir dir;
        MakeGameFolder(dir / L"source");
        MakeGameFolder(dir / L"copy");
        c.spoil(dir / L"copy");
        std::wstring expected = c.expected.empty()   ? L""
                                : c.expected == L"." ? dir / L"source"
                                                     : dir / (L"source\\" + c.expected);
        EXPECT_EQ(FirstDifference(dir / L"source", dir / L"copy"), expected) << c.what;
    }
}
