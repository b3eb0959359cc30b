#pragma once
// The entries of folders that lie over each other, as the game sees its data: the game
// folder, and Windows' per-user copy over it. By name, without regard to case: a later
// folder's entry takes the place of an earlier one's of the same name, and folders of
// that name in several of them merge.

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "engine/input/RefusedInput.h"
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
    //
    // Two entries of one folder whose names differ only in case raise a RefusedInput
    // naming both, once a job looks at them: when that name is found, or every entry is
    // walked. Such a pair elsewhere in a folder the job only looks into by name (the
    // player's own files beside a set) is none of the job's business.
    explicit LayeredListing(const std::vector<std::wstring>& folders);

    // nullptr when no folder has an entry of that name.
    const LayeredEntry* Find(const std::wstring& name) const;
    // Every entry, ordered by name; the pointers live as long as the listing does, so a
    // temporary listing has none to give.
    std::vector<const LayeredEntry*> Entries() const&;
    std::vector<const LayeredEntry*> Entries() const&& = delete;

private:
    std::map<std::wstring, LayeredEntry> entries_;  // by case-folded name
    std::map<std::wstring, RefusedInput> clashes_;  // names only case apart, by case-folded name
};

// Whether nothing of the folder listed as inPlace would stay under the one listed as
// incoming: every entry in place has one of the same name coming; where both are files,
// stays says whether the one in place stands as it is; folders of both are looked at all
// the way down, this level first, the folders below listed only while nothing stays.
// added, when given, gets the paths (below rel) that only incoming has.
using StaysInPlace = std::function<bool(const std::wstring& rel, const DirEntry& incoming, const DirEntry& inPlace)>;
bool ReplacesWhole(const LayeredListing& incoming, const LayeredListing& inPlace, const std::wstring& rel,
                   const StaysInPlace& stays, std::vector<std::wstring>* added = nullptr);

// A link (junction or symbolic link) where a folder the job does not own should hold only
// files and folders: raises a RefusedInput naming it, so that nothing is read, moved or
// removed through it.
void RefuseLink(const LayeredEntry& entry);
