#include <windows.h>

#include "TestSupport.h"
#include "files/clsFileSystem.h"
#include "runtime/AppError.h"
#include "runtime/DoEvents.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

// The example tree: R with A and B, A holding A1 and B holding B1, and files that must
// never show up.
class ExampleTree {
public:
    ExampleTree() {
        MakeDirs(Root() + L"\\A\\A1");
        MakeDirs(Root() + L"\\B\\B1");
        WriteTextFile(Root() + L"\\file.txt", "x");
        WriteTextFile(Root() + L"\\A\\inner.txt", "x");
    }
    std::wstring Root() const { return dir_ / L"R \u4e2d"; }
    std::wstring Expected() const {
        const std::wstring r = Root();
        return r + L"\\A;" + r + L"\\B;" + r + L"\\A\\A1;" + r + L"\\B\\B1;";
    }

private:
    ScratchDir dir_;
};

}  // namespace

TEST(GetAllSubdirectories, ExampleTreeWithAndWithoutTrailingSeparator) {
    ExampleTree tree;
    clsFileSystem fs;
    EXPECT_EQ(fs.GetAllSubdirectories(tree.Root(), true), tree.Expected());
    EXPECT_EQ(fs.GetAllSubdirectories(tree.Root() + L"\\", false), tree.Expected());
}

TEST(GetAllSubdirectories, StatusLineShowsEachFolderAndYields) {
    ExampleTree tree;
    std::vector<std::wstring> shown;
    long before = YieldCount();
    clsFileSystem().GetAllSubdirectories(tree.Root(), true, [&](const std::wstring& text) { shown.push_back(text); });
    const std::wstring scanning = texts::ScanningFolder;
    const std::wstring r = tree.Root();
    EXPECT_EQ(shown, (std::vector<std::wstring>{scanning + r, scanning + r + L"\\A\\", scanning + r + L"\\A\\A1\\",
                                                 scanning + r + L"\\B\\", scanning + r + L"\\B\\B1\\"}));
    EXPECT_EQ(YieldCount() - before, 5);
}

TEST(GetAllSubdirectories, HiddenFoldersCountSystemFoldersAreLeftOut) {
    ExampleTree tree;
    const std::wstring r = tree.Root();
    MakeDirs(r + L"\\A\\Hidden\\Below hidden");
    MakeDirs(r + L"\\B\\System\\Below system");
    ASSERT_TRUE(SetFileAttributesW((r + L"\\A\\Hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(SetFileAttributesW((r + L"\\B\\System").c_str(), FILE_ATTRIBUTE_SYSTEM));
    std::wstring list = clsFileSystem().GetAllSubdirectories(r);
    EXPECT_NE(list.find(r + L"\\A\\Hidden;"), std::wstring::npos) << Narrow(list);
    EXPECT_NE(list.find(r + L"\\A\\Hidden\\Below hidden;"), std::wstring::npos) << Narrow(list);
    EXPECT_EQ(list.find(L"System"), std::wstring::npos) << Narrow(list);
}

TEST(GetAllSubdirectories, EmptyOrMissingRootGivesNothing) {
    ScratchDir dir;
    WriteTextFile(dir / L"only a file.txt", "x");
    clsFileSystem fs;
    EXPECT_EQ(fs.GetAllSubdirectories(dir.Path()), L"");
    EXPECT_EQ(fs.GetAllSubdirectories(dir / L"missing"), L"");
}

TEST(GetAllSubdirectories, FolderNamesWithSemicolonsAreScannedToo) {
    ScratchDir dir;
    MakeDirs(dir / L"a;b\\c");
    const std::wstring expected = dir / L"a;b;" + dir / L"a;b\\c;";
    EXPECT_EQ(clsFileSystem().GetAllSubdirectories(dir.Path()), expected);
}
