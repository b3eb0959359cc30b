#include "engine/game/GameLayout.h"

#include "files/ExistingFolder.h"
#include "files/FileOps.h"

namespace game {

bool HoldsGameData(const std::wstring& root) {
    // A safety set may hold nothing but the list of what its restore added.
    if (EntryExists(Entry(root, AddedListName)))
        return true;
    for (const wchar_t* name : FolderNames) {
        if (IsExistingFolder(Entry(root, name)))
            return true;
    }
    std::wstring config = Entry(root, ConfigName);
    return EntryExists(config) && !IsExistingFolder(config);
}

}  // namespace game
