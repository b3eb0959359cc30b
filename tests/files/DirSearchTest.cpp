#include <windows.h>

#include <algorithm>
#include <set>

#include "TestSupport.h"
#include "files/DirSearch.h"
#include "runtime/AppError.h"
#include "runtime/TextConv.h"

namespace {

// A folder with one entry of every kind; attributes are given from inside the
// platform, where they live (under Wine in an extended attribute of the Linux file).
class KindsFolder {
public:
    KindsFolder() {
        WriteTextFile(dir_ / L"plain.txt", "x");
        WriteTextFile(dir_ / L"readonly.txt", "x");
        WriteTextFile(dir_ / L"hidden.txt", "x");
        WriteTextFile(dir_ / L"system.txt", "x");
        MakeDirs(dir_ / L"folder");
        MakeDirs(dir_ / L"hidden folder");
        MakeDirs(dir_ / L"system folder");
        Set(L"readonly.txt", FILE_ATTRIBUTE_READONLY);
        Set(L"hidden.txt", FILE_ATTRIBUTE_HIDDEN);
        Set(L"system.txt", FILE_ATTRIBUTE_SYSTEM);
        Set(L"hidden folder", FILE_ATTRIBUTE_HIDDEN);
        Set(L"system folder", FILE_ATTRIBUTE_SYSTEM);
    }
    const std::wstring& Path() const { return dir_.Path(); }

private:
    void Set(const wchar_t* name, DWORD attributes) {
        if (!SetFileAttributesW((dir_ / name).c_str(), attributes))
            ADD_FAILURE() << "cannot set attributes of " << Narrow(name);
    }
    ScratchDir dir_;
};

std::set<std::wstring> Names(const std::wstring& pattern, DWORD mask) {
    std::set<std::wstring> names;
    DirSearch search(pattern, mask);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsDotEntry())
            names.insert(entry.name);
    }
    return names;
}

}  // namespace

TEST(DirSearch, MaskAdmitsFoldersHiddenAndSystemOnlyWithTheirBit) {
    KindsFolder kinds;
    using Names_ = std::set<std::wstring>;
    const Names_ files = {L"plain.txt", L"readonly.txt"};
    struct Case {
        DWORD mask;
        Names_ extra;
    };
    const Case cases[] = {
        {0, {}},
        {FILE_ATTRIBUTE_HIDDEN, {L"hidden.txt"}},
        {FILE_ATTRIBUTE_SYSTEM, {L"system.txt"}},
        {FILE_ATTRIBUTE_DIRECTORY, {L"folder"}},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN, {L"folder", L"hidden folder", L"hidden.txt"}},
        {FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM,
         {L"folder", L"hidden folder", L"system folder", L"hidden.txt", L"system.txt"}},
    };
    for (const auto& c : cases) {
        Names_ expected = files;
        expected.insert(c.extra.begin(), c.extra.end());
        EXPECT_EQ(Names(kinds.Path() + L"\\", c.mask), expected) << "mask " << c.mask;
    }
}

TEST(DirSearch, PatternsAndMissingPlaces) {
    KindsFolder kinds;
    EXPECT_EQ(Names(kinds.Path() + L"\\*.txt", 0), (std::set<std::wstring>{L"plain.txt", L"readonly.txt"}));
    EXPECT_EQ(Names(kinds.Path() + L"\\PLAIN.TXT", 0), std::set<std::wstring>{L"plain.txt"});
    EXPECT_EQ(DirSearch::FirstName(kinds.Path() + L"\\folder", FILE_ATTRIBUTE_DIRECTORY), L"folder");
    EXPECT_EQ(DirSearch::FirstName(kinds.Path() + L"\\folder", 0), L"");
    EXPECT_TRUE(Names(kinds.Path() + L"\\missing", 0).empty());
    EXPECT_TRUE(Names(kinds.Path() + L"\\missing\\", FILE_ATTRIBUTE_DIRECTORY).empty());
    EXPECT_TRUE(Names(L"", FILE_ATTRIBUTE_DIRECTORY).empty());
}

TEST(DirSearch, TwoSearchesDoNotDisturbEachOther) {
    ScratchDir dir;
    for (const wchar_t* name : {L"a", L"b", L"c"}) {
        MakeDirs(dir / name);
        WriteTextFile(dir / (std::wstring(name) + L"\\1.txt"), "x");
        WriteTextFile(dir / (std::wstring(name) + L"\\2.txt"), "x");
    }
    std::vector<std::wstring> seen;
    DirSearch outer(dir.Path() + L"\\", FILE_ATTRIBUTE_DIRECTORY);
    for (DirEntry folder; outer.Next(folder);) {
        if (folder.IsDotEntry())
            continue;
        for (const auto& file : Names(dir / folder.name + L"\\", 0))
            seen.push_back(folder.name + L"\\" + file);
    }
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::wstring>{L"a\\1.txt", L"a\\2.txt", L"b\\1.txt", L"b\\2.txt", L"c\\1.txt",
                                                L"c\\2.txt"}));
}

TEST(DirSearch, EntriesCarrySizeAndAttributes) {
    ScratchDir dir;
    WriteTextFile(dir / L"five.bin", "12345");
    DirSearch search(dir / L"five.bin", 0);
    DirEntry entry;
    ASSERT_TRUE(search.Next(entry));
    EXPECT_EQ(entry.size, 5u);
    EXPECT_FALSE(entry.IsFolder());
    EXPECT_FALSE(search.Next(entry));
}
