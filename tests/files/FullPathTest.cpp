#include <windows.h>

#include "TestSupport.h"
#include "files/FullPath.h"
#include "runtime/TextConv.h"

TEST(FullPath, TellsFullFromRelative) {
    struct Case {
        const wchar_t* path;
        bool full;
    } cases[] = {
        {L"C:\\sets", true}, {L"c:/sets", true},     {L"D:\\", true},     {L"\\\\server\\share\\sets", true},
        {L"\\\\?\\C:\\sets", true}, {L"sets", false}, {L"..\\sets", false}, {L"C:sets", false},
        {L"C:", false},      {L"\\sets", false},     {L"/sets", false},   {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsFullPath(c.path), c.full) << Narrow(c.path);
}

TEST(FullPath, SameOrInsideFolderWhateverTheSpelling) {
    ScratchDir dir(true);
    MakeDirs(dir / L"game folder\\saves\\deep");
    MakeDirs(dir / L"game folder backups");
    const std::wstring game = dir / L"game folder";
    auto shortForm = [](const std::wstring& path) {
        wchar_t buffer[MAX_PATH];
        DWORD length = GetShortPathNameW(path.c_str(), buffer, MAX_PATH);
        return length > 0 && length < MAX_PATH ? std::wstring(buffer, length) : path;
    };
    struct Case {
        std::wstring path;
        bool inside;
    } cases[] = {
        {game, true},
        {game + L"\\", true},
        {dir / L"GAME FOLDER", true},
        {dir / L"game folder\\saves\\deep", true},
        {dir / L"game folder\\saves\\..\\.\\saves", true},
        {dir / L"other\\..\\game folder\\saves", true},
        {shortForm(game + L"\\saves"), true},
        {dir / L"game folder backups", false},  // a sibling whose name begins alike
        {shortForm(dir / L"game folder backups"), false},
        {dir.Path(), false},
        {L"", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSameOrInsideFolder(c.path, game), c.inside) << Narrow(c.path);
    // The folder itself given in another spelling.
    EXPECT_TRUE(IsSameOrInsideFolder(game + L"\\saves", dir / L"GAME FOLDER\\.\\"));
}
