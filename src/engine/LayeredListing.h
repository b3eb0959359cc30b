#pragma once
// The entries of folders that lie over each other, as the game sees its data: the game
// folder, and Windows' per-user copy over it. By name, without regard to case: a later
// folder's entry takes the place of an earlier one's of the same name, and folders of
// that name in several of them merge.

#include <map>
#include <string>
#include <vector>

#include "files/DirSearch.h"

struct LayeredEntry {
    DirEntry entry;                     // as the folder whose entry won lists it
    std::wstring path;                  // a file's path there (long form)
    std::vector<std::wstring> folders;  // a folder's paths (long form), in each that has it as a folder
};

class LayeredListing {
public:
    // Lists each of the folders (long form; missing ones hold nothing). A listing that
    // fails raises an AppError.
    explicit LayeredListing(const std::vector<std::wstring>& folders);

    // nullptr when no folder has an entry of that name.
    const LayeredEntry* Find(const std::wstring& name) const;
    // Every entry, ordered by name; the pointers live as long as the listing does, so a
    // temporary listing has none to give.
    std::vector<const LayeredEntry*> Entries() const&;
    std::vector<const LayeredEntry*> Entries() const&& = delete;

private:
    std::map<std::wstring, LayeredEntry> entries_;  // by case-folded name
};
