#include <windows.h>

#include "GameData.h"
#include "TestSupport.h"
#include "engine/game/GameLocation.h"
#include "files/FullPath.h"
#include "registry/ProgramSettings.h"
#include "runtime/TextConv.h"

namespace {

// What a machine may hold: the game where it installs itself, below Program Files (x86),
// in a folder the player chose; each with data, empty, or not there.
enum class Holds { Nothing, EmptyFolder, Data };

struct LookupCase {
    const char* name;
    Holds usual;
    Holds programFilesX86;
    Holds chosen;          // kept in the settings unless Nothing
    const char* expected;  // "usual", "x86", "chosen" or ""
};

const LookupCase kLookups[] = {
    {"only where it installs itself", Holds::Data, Holds::Nothing, Holds::Nothing, "usual"},
    {"only below Program Files (x86)", Holds::Nothing, Holds::Data, Holds::Nothing, "x86"},
    {"in both: where it installs itself wins", Holds::Data, Holds::Data, Holds::Nothing, "usual"},
    {"data beats an empty folder found first", Holds::EmptyFolder, Holds::Data, Holds::Nothing, "x86"},
    {"only in the chosen folder", Holds::Nothing, Holds::Nothing, Holds::Data, "chosen"},
    {"Program Files before the chosen folder", Holds::Nothing, Holds::Data, Holds::Data, "x86"},
    {"a chosen folder without data is passed over", Holds::Nothing, Holds::Data, Holds::EmptyFolder, "x86"},
    {"a chosen folder without data is not used", Holds::Nothing, Holds::Nothing, Holds::EmptyFolder, ""},
    {"installed, not yet played", Holds::EmptyFolder, Holds::Nothing, Holds::EmptyFolder, "usual"},
    {"nowhere", Holds::Nothing, Holds::Nothing, Holds::Nothing, ""},
};

void Make(const std::wstring& folder, Holds holds) {
    if (holds == Holds::EmptyFolder)
        MakeDirs(folder);
    if (holds == Holds::Data)
        MakeGameData(folder, "here");
}

class GameLocationTest : public testing::Test {
protected:
    void SetUp() override { RemoveTree(GameFolder::Path()); }

    GameFolder cleaner;  // clears every place the lookup looks, before and after
    ScratchDir chosen;
};

}  // namespace

TEST_F(GameLocationTest, LooksInOrderForTheFirstFolderWithTheGamesData) {
    const std::wstring chosenGame = chosen / L"My Games\\Tarnwick";
    for (const LookupCase& c : kLookups) {
        SCOPED_TRACE(c.name);
        RemoveTree(GameFolder::Path());
        RemoveTree(ProgramFilesX86GameFolder());
        RemoveTree(chosenGame);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, SettingsKey, GameFolderValue);

        Make(GameFolder::Path(), c.usual);
        Make(ProgramFilesX86GameFolder(), c.programFilesX86);
        Make(chosenGame, c.chosen);
        if (c.chosen != Holds::Nothing)
            RememberGameFolder(chosenGame);

        const std::string expected = c.expected;
        const std::wstring want = expected == "usual" ? GameFolder::Path()
                                  : expected == "x86" ? ProgramFilesX86GameFolder()
                                  : expected == "chosen" ? chosenGame
                                                         : L"";
        EXPECT_EQ(FindGameFolder(), want);
    }
}

TEST_F(GameLocationTest, EachFolderIsLookedAtOnceAndWhereTheGameInstallsItselfFirst) {
    MakeDirs(chosen / L"game");
    RememberGameFolder(chosen / L"game\\..\\game");
    std::vector<std::wstring> candidates = GameFolderCandidates();
    ASSERT_GE(candidates.size(), 3u);
    EXPECT_EQ(candidates.front(), GameFolder::Path());
    EXPECT_NE(std::find(candidates.begin(), candidates.end(), ProgramFilesX86GameFolder()), candidates.end());
    // The choice is kept as a full path, and a second spelling of a folder is not a second candidate.
    EXPECT_EQ(candidates.back(), chosen / L"game");
    RememberGameFolder(L"c:\\PROGRAM FILES\\Glimmerfen Studios\\Tarnwick");
    EXPECT_EQ(GameFolderCandidates().size(), candidates.size() - 1);
}
