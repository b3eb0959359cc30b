#include <windows.h>

#include "FileFixtures.h"
#include "TestSupport.h"
#include "files/clsFileSystem.h"
#include "runtime/AppError.h"
#include "runtime/DoEvents.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

struct TextCase {
    std::wstring input;
    std::wstring expected;
};

// A drive letter that names no drive of this machine.
std::wstring MissingDrive() {
    DWORD drives = GetLogicalDrives();
    for (wchar_t letter = L'Q'; letter <= L'Y'; ++letter) {
        if (!(drives & (1u << (letter - L'A'))))
            return std::wstring(1, letter) + L":";
    }
    return L"";
}

}  // namespace

TEST(FileExist, FilesAndFoldersWithAndWithoutTrailingSeparator) {
    ScratchDir dir;
    WriteTextFile(dir / L"a file.txt", "x");
    MakeDirs(dir / L"folder");
    clsFileSystem fs;
    const std::pair<std::wstring, bool> cases[] = {
        {dir / L"a file.txt", true},   {dir / L"folder", true},     {dir / L"folder\\", true},
        {dir.Path(), true},            {dir / L"missing", false},   {dir / L"missing\\", false},
        {dir / L"a file.txt\\", false}, {L"", false},
    };
    for (const auto& [path, expected] : cases)
        EXPECT_EQ(fs.FileExist(path), expected) << Narrow(path);
}

TEST(GetFileExtension, OneToFourCharactersAfterTheLastNearDot) {
    const TextCase cases[] = {
        {L"D:\\Backups\\Tarnwick_2026.12.06.BAK", L"BAK"},
        {L"x.jpeg", L"jpeg"},
        {L"x.html5", L"Unknown"},
        {L"noextension", L"Unknown"},
        {L"b.", L"Unknown"},
        {L".", L"."},
        {L"..", L"."},
        {L"C:\\a.b\\c", L"b\\c"},
        {L"a.tar.gz", L"gz"},
        {L"", L"Unknown"},
    };
    clsFileSystem fs;
    for (const auto& c : cases)
        EXPECT_EQ(fs.GetFileExtension(c.input), c.expected) << Narrow(c.input);
}

TEST(GetFileName, PartAfterLastSeparator) {
    const TextCase cases[] = {
        {L"c:\\Program files\\Glimmerfen Studios\\Tarnwick\\tarnwick.cfg", L"tarnwick.cfg"},
        {L"C:\\dir\\a.b.c", L"a.b.c"},
        {L"C:\\dir\\", L""},
        {L"C:\\\u4e2d\u6587\\\u00e9t\u00e9.cfg", L"\u00e9t\u00e9.cfg"},
        {L"bare", L"bare"},
    };
    clsFileSystem fs;
    for (const auto& c : cases)
        EXPECT_EQ(fs.GetFileName(c.input), c.expected) << Narrow(c.input);
}

TEST(LastChar, LastCharacterAndRemovingIt) {
    clsFileSystem fs;
    EXPECT_EQ(fs.LastChar(L"C:\\x\\"), L"\\");
    EXPECT_EQ(fs.LastChar(L"a"), L"a");
    EXPECT_EQ(fs.sRemoveLastChar(L"C:\\x\\"), L"C:\\x");
    EXPECT_EQ(fs.sRemoveLastChar(L"a"), L"");
    EXPECT_EQ(fs.sRemoveLastChar(L""), L"");
}

TEST(LastChar, EmptyTextIsAnInvalidArgument) {
    try {
        (void)clsFileSystem().LastChar(L"");
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), ERROR_INVALID_PARAMETER);
        EXPECT_EQ(e.Source(), L"clsFileSystem");
    }
}

TEST(FileReal, OnlyBareNamesOfOrdinaryFilesSpelledAsOnDisk) {
    ScratchDir dir;
    WriteTextFile(dir / L"Real File.txt", "x");
    WriteTextFile(dir / L"\u4e2d.txt", "x");
    MakeDirs(dir / L"Folder");
    CurrentFolderScope here(dir.Path());
    clsFileSystem fs;
    const std::pair<std::wstring, bool> cases[] = {
        {L"Real File.txt", true},       {L"\u4e2d.txt", true},     {L"real file.txt", false},
        {dir / L"Real File.txt", false}, {L".\\Real File.txt", false}, {L"Folder", false},
        {L"missing.txt", false},        {L"*.txt", false},         {L"", false},
    };
    for (const auto& [name, expected] : cases)
        EXPECT_EQ(fs.FileReal(name), expected) << Narrow(name);
}

TEST(FileReal, HiddenAndSystemFilesAreNotOrdinary) {
    ScratchDir dir;
    WriteTextFile(dir / L"hidden.txt", "x");
    WriteTextFile(dir / L"system.txt", "x");
    WriteTextFile(dir / L"readonly.txt", "x");
    ASSERT_TRUE(SetFileAttributesW((dir / L"hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((dir / L"system.txt").c_str(), FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesW((dir / L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    CurrentFolderScope here(dir.Path());
    clsFileSystem fs;
    EXPECT_FALSE(fs.FileReal(L"hidden.txt"));
    EXPECT_FALSE(fs.FileReal(L"system.txt"));
    EXPECT_TRUE(fs.FileReal(L"readonly.txt"));
}

// Records, at every yield, how many of the given folders exist.
class ExistenceLog {
public:
    explicit ExistenceLog(std::vector<std::wstring> folders) : folders_(std::move(folders)) {
        previous_ = SetYieldHook([this] { counts_.push_back(CountExisting()); });
    }
    ~ExistenceLog() { SetYieldHook(std::move(previous_)); }
    int CountExisting() const {
        int n = 0;
        for (const auto& f : folders_)
            n += IsDirectory(f) ? 1 : 0;
        return n;
    }
    const std::vector<int>& Counts() const { return counts_; }

private:
    std::vector<std::wstring> folders_;
    std::vector<int> counts_;
    YieldHook previous_;
};

TEST(CreateDirectoryStruct, MakesExactlyTheMissingLevelsFromTheTop) {
    const std::wstring suffixes[] = {L"", L"\\"};
    for (const auto& suffix : suffixes) {
        ScratchDir dir;
        std::vector<std::wstring> levels = {dir / L"Game", dir / L"Game\\2004", dir / L"Game\\2004\\\u4e2d x"};
        ExistenceLog log(levels);
        clsFileSystem().CreateDirectoryStruct(levels.back() + suffix);
        EXPECT_EQ(log.CountExisting(), 3) << "suffix " << Narrow(suffix);
        // One yield per level tested: the new levels appear one at a time, top first.
        ASSERT_GE(log.Counts().size(), 4u);
        std::vector<int> last(log.Counts().end() - 4, log.Counts().end());
        EXPECT_EQ(last, (std::vector<int>{0, 0, 1, 2})) << "suffix " << Narrow(suffix);
    }
}

TEST(CreateDirectoryStruct, ExistingFolderOrFileNeedsNothing) {
    ScratchDir dir;
    WriteTextFile(dir / L"a file", "x");
    long before = YieldCount();
    clsFileSystem().CreateDirectoryStruct(dir.Path());
    clsFileSystem().CreateDirectoryStruct(dir.Path() + L"\\");
    clsFileSystem().CreateDirectoryStruct(dir / L"a file");
    EXPECT_EQ(YieldCount(), before);
    EXPECT_FALSE(IsDirectory(dir / L"a file"));
}

TEST(CreateDirectoryStruct, DoubledSeparatorIsTolerated) {
    ScratchDir dir;
    clsFileSystem().CreateDirectoryStruct(dir.Path() + L"\\one\\\\two");
    EXPECT_TRUE(IsDirectory(dir / L"one\\two"));
}

TEST(CreateDirectoryStruct, FailureReachesTheCallerAndMadeLevelsStay) {
    ScratchDir dir;
    MakeDirs(dir / L"made");
    WriteTextFile(dir / L"made\\blocker", "x");
    std::wstring drive = MissingDrive();
    ASSERT_FALSE(drive.empty());
    struct Case {
        std::wstring path;
        std::vector<std::wstring> madeBefore;  // by the call, before the failing level
    };
    const Case cases[] = {
        {dir / L"made\\blocker\\below\\deeper", {}},
        {dir / L"new\\sub\\bad|name\\deeper", {dir / L"new", dir / L"new\\sub"}},
        {drive + L"\\bktrnwck\\x", {}},
    };
    for (const auto& c : cases) {
        try {
            clsFileSystem().CreateDirectoryStruct(c.path);
            ADD_FAILURE() << "no error for " << Narrow(c.path);
        } catch (const AppError& e) {
            EXPECT_NE(e.Number(), 0) << Narrow(c.path);
            EXPECT_EQ(e.Source(), L"clsFileSystem");
            EXPECT_FALSE(e.Description().empty());
        }
        for (const auto& made : c.madeBefore)
            EXPECT_TRUE(IsDirectory(made)) << Narrow(made);
    }
    EXPECT_FALSE(PathExists(dir / L"made\\blocker\\below"));
}

TEST(FileCopy, ReplacesAnExistingDestination) {
    ScratchDir dir;
    WriteTextFile(dir / L"source \u4e2d.cfg", "new content");
    WriteTextFile(dir / L"dest.cfg", "old and longer content");
    EXPECT_TRUE(clsFileSystem().CopyFile(dir / L"source \u4e2d.cfg", dir / L"dest.cfg"));
    EXPECT_EQ(ReadTextFile(dir / L"dest.cfg"), "new content");
}

TEST(FileCopy, FailureShowsOneMessageAndReturns) {
    ScratchDir dir;
    WriteTextFile(dir / L"source.cfg", "x");
    const std::pair<std::wstring, std::wstring> cases[] = {
        {dir / L"missing.cfg", dir / L"dest.cfg"},
        {dir / L"source.cfg", dir / L"no such folder\\dest.cfg"},
    };
    for (const auto& [source, destination] : cases) {
        MsgBoxRecorder boxes;
        EXPECT_FALSE(clsFileSystem().CopyFile(source, destination));
        ASSERT_EQ(boxes.Calls().size(), 1u);
        EXPECT_EQ(boxes.Calls()[0].text, texts::ErrorCopyingFile);
        EXPECT_EQ(boxes.Calls()[0].title, texts::AppTitle);
        EXPECT_EQ(boxes.Calls()[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(boxes.Calls()[0].icon, MsgIcon::None);
    }
    EXPECT_FALSE(PathExists(dir / L"dest.cfg"));
}

TEST(FileDelete, NameOrPatternDeletesMatchingOrdinaryFiles) {
    ScratchDir dir;
    for (const wchar_t* name : {L"a1.tmp", L"a2.tmp", L"b1.tmp", L"a1.txt", L"single \u4e2d.txt"})
        WriteTextFile(dir / name, "x");
    clsFileSystem fs;
    EXPECT_TRUE(fs.DeleteFile(dir / L"single \u4e2d.txt"));
    EXPECT_TRUE(fs.DeleteFile(dir / L"a?.tmp"));
    EXPECT_FALSE(PathExists(dir / L"single \u4e2d.txt"));
    EXPECT_FALSE(PathExists(dir / L"a1.tmp"));
    EXPECT_FALSE(PathExists(dir / L"a2.tmp"));
    EXPECT_TRUE(PathExists(dir / L"b1.tmp"));
    EXPECT_TRUE(PathExists(dir / L"a1.txt"));
}

TEST(FileDelete, FailureShowsOneMessageAndReturns) {
    ScratchDir dir;
    WriteTextFile(dir / L"locked.txt", "x");
    ASSERT_TRUE(SetFileAttributesW((dir / L"locked.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    for (const std::wstring& name : {dir / L"missing.txt", dir / L"*.none", dir / L"locked.txt"}) {
        MsgBoxRecorder boxes;
        EXPECT_FALSE(clsFileSystem().DeleteFile(name));
        EXPECT_EQ(boxes.Texts(), std::vector<std::wstring>{texts::ErrorDeletingFile}) << Narrow(name);
    }
    EXPECT_TRUE(PathExists(dir / L"locked.txt"));
}
