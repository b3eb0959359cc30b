// The copy engine on real files: what arrives (content, time, attributes), how progress
// counts, where and why a copy fails (with real faults), a stop inside one large file,
// and paths beyond the old 260-character limit.

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

#include "Faults.h"
#include "FileFixtures.h"
#include "TestSupport.h"
#include "files/FileCopier.h"
#include "files/FileOps.h"
#include "files/Sha256.h"
#include "runtime/Handles.h"
#include "runtime/StageHook.h"
#include "runtime/TextConv.h"

namespace {

// Records every progress report; stops the copy once `stopAfter` reports came.
class Watcher final : public CopyObserver {
public:
    void Progressed(const CopyProgress& progress) override { seen.push_back(progress); }
    bool StopRequested() override { return seen.size() >= stopAfter; }

    std::vector<CopyProgress> seen;
    std::size_t stopAfter = static_cast<std::size_t>(-1);
};

// Acts at every report, as another program would between two pieces of a file.
class Acting final : public CopyObserver {
public:
    explicit Acting(std::function<void(const CopyProgress&)> act) : act_(std::move(act)) {}
    void Progressed(const CopyProgress& progress) override { act_(progress); }
    bool StopRequested() override { return false; }

private:
    std::function<void(const CopyProgress&)> act_;
};

FILE_BASIC_INFO BasicInfo(const std::wstring& path) {
    FileHandle file(CreateFileW(LongPath(path).c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILE_BASIC_INFO info{};
    EXPECT_TRUE(file && GetFileInformationByHandleEx(file.Get(), FileBasicInfo, &info, sizeof info));
    return info;
}

class FileCopierTest : public testing::Test {
public:
    // The items copying source (a folder and its files, as a job lists them) into target.
    std::vector<CopyItem> ItemsFor(const std::vector<std::pair<std::wstring, std::uint64_t>>& files) {
        std::vector<CopyItem> items{{LongPath(dir / L"src"), LongPath(dir / L"dst"), 0, true}};
        for (const auto& [name, size] : files)
            items.push_back({LongPath(dir / L"src\\" + name), LongPath(dir / L"dst\\" + name), size, false});
        return items;
    }

    ScratchDir dir;
    Watcher watcher;
    FileCopier copier;
};

TEST_F(FileCopierTest, CopiesContentTimeAndAttributesAndCountsEveryPiece) {
    MakeDirs(dir / L"src");
    WriteTextFile(dir / L"src\\a.sav", "small save");
    WriteSizedFile(dir / L"src\\world.map", 3 * (1 << 20) + 5);
    WriteTextFile(dir / L"src\\locked.cfg", "read-only");
    SetFileAttributesW((dir / L"src\\locked.cfg").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    auto items = ItemsFor({{L"a.sav", 10}, {L"world.map", 3 * (1 << 20) + 5}, {L"locked.cfg", 9}});

    // Each way of flushing makes every copy durable, the read-only one too.
    for (FlushMode mode : {FlushMode::AtEnd, FlushMode::EachFile}) {
        RemoveTree(dir / L"dst");
        FileCopier other(mode);
        ASSERT_TRUE(other.Copy(items, 0, items.size(), watcher).result.Ok());
        EXPECT_TRUE(other.Flush(watcher).Ok());
    }
    RemoveTree(dir / L"dst");
    watcher.seen.clear();
    CopyOutcome outcome = copier.Copy(items, 0, items.size(), watcher);
    ASSERT_TRUE(outcome.result.Ok()) << outcome.result.error;
    EXPECT_EQ(ListTree(dir / L"dst"), ListTree(dir / L"src"));
    for (const wchar_t* name : {L"a.sav", L"world.map", L"locked.cfg"}) {
        FILE_BASIC_INFO from = BasicInfo(dir / L"src\\" + name), to = BasicInfo(dir / L"dst\\" + name);
        EXPECT_EQ(to.LastWriteTime.QuadPart, from.LastWriteTime.QuadPart) << Narrow(name);
        EXPECT_EQ(to.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
                  from.FileAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN))
            << Narrow(name);
    }
    // The large file is reported piece by piece; the counts only grow and end at the totals.
    ASSERT_GE(watcher.seen.size(), 3u + items.size());
    for (size_t i = 1; i < watcher.seen.size(); ++i)
        EXPECT_GE(watcher.seen[i].bytesDone, watcher.seen[i - 1].bytesDone);
    EXPECT_EQ(copier.Progress().filesDone, 3u);
    EXPECT_EQ(copier.Progress().bytesDone, 10u + 3 * (1 << 20) + 5 + 9);
    EXPECT_TRUE(copier.Flush(watcher).Ok());
    EXPECT_EQ(copier.Progress().filesFlushed, 3u);
}

// Each file's digest is the same wherever the copy takes it: on its own thread (one piece,
// or every file when asked) or beside it (a large file).
TEST_F(FileCopierTest, DigestsAreTheSameBesideAndOnTheCopysThread) {
    MakeDirs(dir / L"src");
    WriteTextFile(dir / L"src\\abc.sav", "abc");
    WriteSizedFile(dir / L"src\\world.map", 3 * (1 << 20) + 5);
    auto items = ItemsFor({{L"abc.sav", 3}, {L"world.map", 3 * (1 << 20) + 5}});
    for (CopyItem& item : items)
        item.hash = !item.folder;
    std::vector<std::string> digests[2];
    for (HashMode mode : {HashMode::Beside, HashMode::OnCopyThread}) {
        RemoveTree(dir / L"dst");
        FileCopier copier(FlushMode::Beside, mode);
        ASSERT_TRUE(copier.Copy(items, 0, items.size(), watcher).result.Ok());
        for (std::size_t i = 1; i < items.size(); ++i)
            digests[mode == HashMode::Beside ? 0 : 1].push_back(copier.Digest(i));
    }
    EXPECT_EQ(digests[0], digests[1]);
    EXPECT_EQ(digests[0].front(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST_F(FileCopierTest, ReplacesAReadOnlyFileAndMergesIntoAFolderThatIsThere) {
    MakeDirs(dir / L"src");
    MakeDirs(dir / L"dst");
    WriteTextFile(dir / L"src\\a.sav", "new");
    WriteTextFile(dir / L"dst\\a.sav", "old");
    WriteTextFile(dir / L"dst\\other.sav", "stays");
    SetFileAttributesW((dir / L"dst\\a.sav").c_str(), FILE_ATTRIBUTE_READONLY);
    auto items = ItemsFor({{L"a.sav", 3}});
    ASSERT_TRUE(copier.Copy(items, 0, items.size(), watcher).result.Ok());
    EXPECT_EQ(ReadTextFile(dir / L"dst\\a.sav"), "new");
    EXPECT_EQ(ReadTextFile(dir / L"dst\\other.sav"), "stays");
}

// Each fault stops the copy at the second file, with the platform's reason and the path
// concerned; the file being written then leaves nothing behind, the first one stays.
TEST_F(FileCopierTest, FailureNamesReasonAndPathAndLeavesNoPartialFile) {
    struct Fault {
        const char* name;
        std::function<std::shared_ptr<void>(FileCopierTest&)> make;  // nullptr: not available here
        DWORD error;
        bool atDestination;
    };
    const Fault faults[] = {
        {"the source held open by another program",
         [](FileCopierTest& t) { return std::make_shared<FileHandle>(HoldOpen(t.dir / L"src\\b.map")); },
         ERROR_SHARING_VIOLATION, false},
        {"the source gone since it was listed",
         [](FileCopierTest& t) {
             DeleteFileW((t.dir / L"src\\b.map").c_str());
             return std::make_shared<int>(0);
         },
         ERROR_FILE_NOT_FOUND, false},
        {"a folder where the copy should be",
         [](FileCopierTest& t) {
             MakeDirs(t.dir / L"dst\\b.map");
             return std::make_shared<int>(0);
         },
         ERROR_ACCESS_DENIED, true},
        {"a destination file the kernel refuses to change (chattr +i)",
         [](FileCopierTest& t) -> std::shared_ptr<void> {
             WriteTextFile(t.dir / L"dst\\b.map", "old");
             auto scope = std::make_shared<ImmutableScope>(t.dir / L"dst\\b.map");
             return scope->Ok() ? scope : nullptr;
         },
         ERROR_ACCESS_DENIED, true},
        {"a full disk",
         [](FileCopierTest& t) -> std::shared_ptr<void> {
             auto disk = std::make_shared<RamDiskScope>(t.dir / L"dst", 256);
             return disk->Ok() ? disk : nullptr;
         },
         ERROR_DISK_FULL, true},
    };
    for (const Fault& fault : faults) {
        SCOPED_TRACE(fault.name);
        RemoveTree(dir / L"src");
        RemoveTree(dir / L"dst");
        MakeDirs(dir / L"src");
        MakeDirs(dir / L"dst");
        WriteTextFile(dir / L"src\\a.sav", "first");
        WriteSizedFile(dir / L"src\\b.map", 2 << 20);
        auto held = fault.make(*this);
        if (!held)
            continue;  // chattr or mount is not available here
        auto items = ItemsFor({{L"a.sav", 5}, {L"b.map", 2 << 20}});
        FileCopier fresh;
        CopyOutcome outcome = fresh.Copy(items, 0, items.size(), watcher);
        EXPECT_EQ(outcome.result.error, fault.error);
        EXPECT_EQ(outcome.failedItem, 2u);
        EXPECT_EQ(outcome.result.path, fault.atDestination ? items[2].destination : items[2].source);
        EXPECT_EQ(ReadTextFile(dir / L"dst\\a.sav"), "first");
        if (fault.error == ERROR_DISK_FULL) {
            EXPECT_FALSE(PathExists(dir / L"dst\\b.map"));
        }
    }
}

// The game writes a file while it is copied: a writer acts between the first and the
// second piece of each try, for as many tries as a row says. A file written in one try is
// copied again and arrives whole as it stands then, with its digest; one written in every
// try fails after three tries, leaving no copy.
TEST_F(FileCopierTest, FileWrittenWhileItIsCopiedIsCopiedAgainOrRefused) {
    const std::uint64_t size = 3 * (1 << 18) + 5;  // three pieces and a bit
    // offset < 0: at the end.
    auto writeAt = [](const std::wstring& path, LONGLONG offset, const std::string& bytes) {
        FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, 0, nullptr));
        LARGE_INTEGER at{};
        at.QuadPart = offset < 0 ? 0 : offset;
        DWORD put = 0;
        ASSERT_TRUE(file && SetFilePointerEx(file.Get(), at, nullptr, offset < 0 ? FILE_END : FILE_BEGIN) &&
                    WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr));
    };
    auto setWriteTime = [](const std::wstring& path, FILETIME time) {
        FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        ASSERT_TRUE(file && SetFileTime(file.Get(), nullptr, nullptr, &time));
    };
    auto writeTime = [](const std::wstring& path) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        return data.ftLastWriteTime;
    };
    struct Row {
        const char* name;
        std::function<void(const std::wstring&)> write;
    };
    const Row rows[] = {
        {"rewritten in place", [&](const std::wstring& p) { writeAt(p, 1 << 18, std::string(4096, 'N')); }},
        {"appended to", [&](const std::wstring& p) { writeAt(p, -1, "more"); }},
        {"only its last-write time moved",
         [&](const std::wstring& p) {
             ULARGE_INTEGER t{};
             FILETIME now = writeTime(p);
             t.LowPart = now.dwLowDateTime;
             t.HighPart = now.dwHighDateTime;
             t.QuadPart += 10'000'000;
             setWriteTime(p, {t.LowPart, t.HighPart});
         }},
        {"rewritten, its last-write time put back",
         [&](const std::wstring& p) {
             FILETIME before = writeTime(p);
             writeAt(p, 1 << 18, std::string(4096, 'B'));
             setWriteTime(p, before);
         }},
    };
    for (const Row& row : rows) {
        for (int writtenTries : {1, 3}) {
            SCOPED_TRACE(std::string(row.name) + (writtenTries == 1 ? ", in one try" : ", in every try"));
            RemoveTree(dir / L"src");
            RemoveTree(dir / L"dst");
            MakeDirs(dir / L"src");
            const std::wstring source = dir / L"src\\live.big";
            WriteSizedFile(source, size);
            ShiftWriteTimes(source, -100);
            auto items = ItemsFor({{L"live.big", size}});
            items[1].hash = true;
            int written = 0;
            Acting writer([&](const CopyProgress& progress) {
                // Each try counts its bytes afresh: here its first piece is in.
                if (progress.item == 1 && progress.bytesDone == (1 << 18) && written < writtenTries) {
                    ++written;
                    row.write(source);
                }
            });
            FileCopier fresh;
            CopyOutcome outcome = fresh.Copy(items, 0, items.size(), writer);
            if (writtenTries == 1) {
                ASSERT_TRUE(outcome.result.Ok()) << outcome.result.error;
                std::string now = ReadTextFile(source);
                EXPECT_EQ(ReadTextFile(dir / L"dst\\live.big"), now);
                Sha256 expected;
                expected.Add(now.data(), now.size());
                EXPECT_EQ(fresh.Digest(1), expected.HexDigest());
                EXPECT_EQ(fresh.Progress().bytesDone, now.size());
            } else {
                EXPECT_EQ(outcome.result.error, kErrorChangedWhileRead);
                EXPECT_EQ(outcome.result.path, items[1].source);
                EXPECT_EQ(written, 3);
                EXPECT_FALSE(PathExists(dir / L"dst\\live.big"));
            }
        }
    }
}

// A file removed while it is read (the game's own clean-up) leaves no copy: the next try
// finds it gone, and the copy says the file changed.
TEST_F(FileCopierTest, FileRemovedWhileItIsCopiedLeavesNoCopy) {
    const std::uint64_t size = 3 * (1 << 18);
    MakeDirs(dir / L"src");
    const std::wstring source = dir / L"src\\gone.big";
    WriteSizedFile(source, size);
    auto items = ItemsFor({{L"gone.big", size}});
    bool removed = false;
    Acting remover([&](const CopyProgress& progress) {
        if (progress.item == 1 && progress.bytesDone > 0)
            removed = DeleteFileW(source.c_str()) || removed;
    });
    CopyOutcome outcome = copier.Copy(items, 0, items.size(), remover);
    EXPECT_TRUE(removed);
    EXPECT_EQ(outcome.result.error, kErrorChangedWhileRead);
    EXPECT_FALSE(PathExists(dir / L"dst\\gone.big"));
}

TEST_F(FileCopierTest, StopInsideOneLargeFileEndsAtOnceAndRemovesThePart) {
    MakeDirs(dir / L"src");
    const std::uint64_t size = 64ull << 20;
    WriteSizedFile(dir / L"src\\huge.map", size);
    auto items = ItemsFor({{L"huge.map", size}});
    watcher.stopAfter = 3;  // the folder, then two pieces of the file
    CopyOutcome outcome = copier.Copy(items, 0, items.size(), watcher);
    EXPECT_EQ(outcome.result.error, static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(outcome.failedItem, 1u);
    EXPECT_LE(copier.Progress().bytesDone, 2ull << 20);
    EXPECT_FALSE(PathExists(dir / L"dst\\huge.map"));
}

TEST_F(FileCopierTest, CopiesPathsBeyondTheOldLimit) {
    std::wstring deep = L"src";
    for (int i = 0; i < 6; ++i)
        deep += L"\\a folder name long enough to pass the limit " + std::to_wstring(i);
    ASSERT_TRUE(MakeFolderPath(dir / deep).Ok());
    std::wstring file = deep + L"\\deepest.sav";
    ASSERT_GT((dir / file).size(), 300u);
    {
        FileHandle out(CreateFileW(LongPath(dir / file).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr));
        DWORD written = 0;
        ASSERT_TRUE(out && WriteFile(out.Get(), "deep", 4, &written, nullptr));
    }
    std::vector<CopyItem> items;
    std::wstring rel = deep.substr(4);
    std::wstring at = L"dst";
    items.push_back({LongPath(dir / L"src"), LongPath(dir / L"dst"), 0, true});
    for (size_t cut = 0; cut != std::wstring::npos;) {
        cut = rel.find(L'\\', cut + 1);
        items.push_back({L"", LongPath(dir / L"dst\\" + rel.substr(0, cut)), 0, true});
    }
    items.push_back({LongPath(dir / file), LongPath(dir / (L"dst\\" + rel + L"\\deepest.sav")), 4, false});
    ASSERT_TRUE(copier.Copy(items, 0, items.size(), watcher).result.Ok());
    ASSERT_TRUE(copier.Flush(watcher).Ok());
    std::string content;
    EXPECT_TRUE(ReadSmallFile(items.back().destination, content));
    EXPECT_EQ(content, "deep");
    ASSERT_TRUE(DeleteTree(dir.Path()).Ok());  // the fixture's own removal stops at the old limit
}

}  // namespace

// Large files copied at once, one a lane: every copy and digest is the one the copy in
// order gives, whatever the mix of sizes around them.
TEST_F(FileCopierTest, LargeFilesCopiedAtOnceGiveTheSameCopiesAndDigests) {
    const std::uint64_t mib = 1 << 20;
    const struct {
        const char* name;
        std::vector<std::pair<std::wstring, std::uint64_t>> files;
    } cases[] = {
        {"one", {{L"a.map", 3 * mib}}},
        {"two", {{L"a.map", 3 * mib}, {L"b.map", 2 * mib + 1}}},
        {"several sizes, an empty and a small one among them",
         {{L"a.map", 5 * mib + 7}, {L"b.map", 2 * mib}, {L"c.map", 3 * mib - 1}, {L"empty.map", 0}, {L"d.map", 4 * mib},
          {L"e.map", 2 * mib + 3}, {L"small.sav", 100}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RemoveTree(dir / L"src");
        MakeDirs(dir / L"src");
        for (const auto& [name, size] : c.files)
            WriteSizedFile(dir / L"src\\" + name, size);
        auto items = ItemsFor(c.files);
        for (CopyItem& item : items)
            item.hash = !item.folder;
        std::vector<std::string> digests[2];
        for (std::size_t lanes : {std::size_t{1}, std::size_t{3}}) {
            RemoveTree(dir / L"dst");
            FileCopier copier;
            copier.SetLanes(lanes, 2 * mib);
            CopyOutcome outcome = copier.Copy(items, 0, items.size(), watcher);
            ASSERT_TRUE(outcome.result.Ok()) << outcome.result.error;
            ASSERT_TRUE(copier.Flush(watcher).Ok());
            EXPECT_EQ(copier.Progress().filesDone, c.files.size());
            EXPECT_EQ(copier.Progress().filesFlushed, c.files.size());
            for (std::size_t i = 1; i < items.size(); ++i)
                digests[lanes == 1 ? 0 : 1].push_back(copier.Digest(i));
            EXPECT_EQ(ListTree(dir / L"dst"), ListTree(dir / L"src"));
        }
        EXPECT_EQ(digests[0], digests[1]);
    }
}

// A stop while two large files are copied at once ends both and leaves neither part
// behind; a failure in one lane is the copy's failure, named, not the stop it causes in
// the other.
TEST_F(FileCopierTest, AStopOrAFailureWhileLargeFilesAreCopiedAtOnceLeavesNoPart) {
    const std::uint64_t size = 64ull << 20;
    MakeDirs(dir / L"src");
    WriteSizedFile(dir / L"src\\a.map", size);
    WriteSizedFile(dir / L"src\\b.map", size);
    auto items = ItemsFor({{L"a.map", size}, {L"b.map", size}});
    for (CopyItem& item : items)
        item.hash = !item.folder;
    copier.SetLanes(2, 1 << 20);
    // Once both files are under way, the player stops; each lane is held at its next piece
    // until the stop has long been heard.
    std::atomic<int> pieces{0};
    std::atomic<bool> stopNow{false};
    StageHook previous = SetStageHook([&](const char* stage) {
        if (std::string(stage) == "piece copied" && ++pieces >= 8) {
            stopNow = true;
            Sleep(200);
        }
    });
    struct Stopping final : CopyObserver {
        std::atomic<bool>& now;
        explicit Stopping(std::atomic<bool>& n) : now(n) {}
        void Progressed(const CopyProgress&) override {}
        bool StopRequested() override { return now.load(); }
    } stopping(stopNow);
    CopyOutcome stopped = copier.Copy(items, 0, items.size(), stopping);
    SetStageHook(previous);
    EXPECT_EQ(stopped.result.error, static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_LT(copier.Progress().bytesDone, 2 * size);
    copier.Settle();
    EXPECT_FALSE(PathExists(dir / L"dst\\a.map"));
    EXPECT_FALSE(PathExists(dir / L"dst\\b.map"));

    // b.map's copy cannot be made: a folder stands where it goes.
    RemoveTree(dir / L"dst");
    MakeDirs(dir / L"dst\\b.map");
    FileCopier other;
    other.SetLanes(2, 1 << 20);
    Watcher quiet;
    CopyOutcome failed = other.Copy(items, 0, items.size(), quiet);
    EXPECT_FALSE(failed.result.Ok());
    EXPECT_NE(failed.result.error, static_cast<DWORD>(ERROR_CANCELLED));
    EXPECT_EQ(failed.failedItem, 2u);
    EXPECT_EQ(failed.result.path, LongPath(dir / L"dst\\b.map"));
}
