#include <windows.h>

#include "Faults.h"
#include "FileFixtures.h"
#include "TestSupport.h"
#include "files/FileOps.h"
#include "files/MFile.h"
#include "files/TreeCompare.h"
#include "runtime/DoEvents.h"
#include "runtime/Handles.h"
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

// Sets a file's last-write time a day back: the same size, another time.
void AgeByADay(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    FILETIME time{};
    ASSERT_TRUE(GetFileTime(file.Get(), nullptr, nullptr, &time));
    ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
    t.QuadPart -= 864000000000ULL;
    time = {t.LowPart, t.HighPart};
    ASSERT_TRUE(SetFileTime(file.Get(), nullptr, nullptr, &time));
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

TEST(CopyFolder, StaleTargetOfTheSameSizeIsReported) {
    // The shell cannot replace the file and, under Wine, says nothing: only its time
    // tells the old file from the new one.
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    MakeDirs(dir / L"backup\\saves");
    WriteTextFile(dir / L"backup\\saves\\top.sav", "old");
    AgeByADay(dir / L"backup\\saves\\top.sav");
    ImmutableScope frozen(dir / L"backup\\saves\\top.sav");
    if (!frozen.Ok())
        GTEST_SKIP() << "needs Wine and chattr to make a file the platform cannot replace";
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    EXPECT_FALSE(result.whole);
    EXPECT_EQ(result.firstDifference, dir / L"game\\saves\\top.sav");
}

TEST(CopyFolder, WhatTheShellLeftIsCopiedFileByFile) {
    // A file already there but stale (older, same size) and a file missing: both are
    // put right after the shell's copy, and the copy is whole.
    ScratchDir dir;
    MakeGameFolder(dir / L"game\\saves");
    MakeDirs(dir / L"backup");
    CopyFolderResult first = CopyFolder(dir / L"game\\saves", dir / L"backup");
    ASSERT_TRUE(first.whole);
    std::vector<std::wstring> before = TreeDifferences(dir / L"game\\saves", dir / L"backup\\saves");
    EXPECT_TRUE(before.empty());
    WriteTextFile(dir / L"backup\\saves\\top.sav", "TOP");
    AgeByADay(dir / L"backup\\saves\\top.sav");
    DeleteFileW((dir / L"backup\\saves\\slot 1\\deep\\d.sav").c_str());
    std::vector<std::wstring> differences = TreeDifferences(dir / L"game\\saves", dir / L"backup\\saves");
    EXPECT_EQ(differences, (std::vector<std::wstring>{L"top.sav", L"slot 1\\deep\\d.sav"}));
    CopyFolderResult second = CopyFolder(dir / L"game\\saves", dir / L"backup");
    EXPECT_TRUE(second.whole);
    EXPECT_EQ(ReadTextFile(dir / L"backup\\saves\\top.sav"), "top");
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
    FileHandle held = HoldOpen(dir / L"backup\\saves\\top.sav");
    CopyFolderResult result = CopyFolder(dir / L"game\\saves", dir / L"backup");
    held.Reset();
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
        // A copy as the platform makes it, times and all.
        ASSERT_TRUE(CopyTree(dir / L"source", dir / L"copy").Ok());
        c.spoil(dir / L"copy");
        std::wstring expected = c.expected.empty()   ? L""
                                : c.expected == L"." ? dir / L"source"
                                                     : dir / (L"source\\" + c.expected);
        EXPECT_EQ(FirstDifference(dir / L"source", dir / L"copy"), expected) << c.what;
    }
}
