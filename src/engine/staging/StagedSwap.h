#pragma once
// A change of game data trees made safe by staging. The new entries are written first
// into a staging folder beside each tree, which the tree does not see; then each is
// swapped into place by renames, the entry it replaces moved into a keeping folder, and
// an entry to remove moved there too. Every step is one rename, and each entry's steps
// are safe to repeat: from the list of entries alone, a swap that was interrupted at
// any point can be finished (Forward) or undone (Backward).
//
// A list found in a folder is read strictly: one line that this program would not have
// written refuses the whole list, and a swap is never run through a link in its folders.

#include <optional>
#include <string>
#include <vector>

#include "engine/input/DataName.h"
#include "engine/input/ListText.h"
#include "files/FileOps.h"

struct SwapLayer {
    std::wstring root;     // the tree
    std::wstring staging;  // where its new entries wait, in the same tree structure
    std::wstring kept;     // where what they replace, and what is removed, goes
};

struct SwapEntry {
    enum class Kind : char { Put = '+', Remove = '-' };
    Kind kind = Kind::Put;
    int layer = 0;  // index into the layers
    DataName name;  // below the layer's root ("saves\slot 1\game.sav")
};

// The list of a staging folder's entries, "Tarnwick swap list.txt" in it.
std::wstring SwapListPath(const std::wstring& staging);

class StagedSwap {
public:
    StagedSwap(std::vector<SwapLayer> layers, std::vector<SwapEntry> entries);

    // Puts every staged entry in place, the one it replaces (and every one to remove)
    // into the keeping folder.
    FileResult Forward();
    // Puts back what Forward has done so far, last entry first.
    FileResult Backward();

    // The first link (junction, symbolic link) on the way to any entry, below the
    // layers' roots, or in place of a staging or keeping folder; "" when there is none.
    std::wstring FindLink() const;

    // The entries as text, a line each: "+0 saves\slot 1\game.sav" (UTF-8); and back,
    // from the list at path, for that many layers, the names in that syntax.
    static std::string Encode(const std::vector<SwapEntry>& entries);
    static ListRead Decode(const std::string& text, const std::wstring& path, std::size_t layers,
                           const DataName::Syntax& syntax, std::vector<SwapEntry>& entries);
    // The list file at path read and decoded so; Missing when there is none.
    static ListRead ReadList(const std::wstring& path, std::size_t layers, const DataName::Syntax& syntax,
                             std::vector<SwapEntry>& entries);

    // Runs the swap listed in the first layer's staging folder, forward or back, as the
    // recovery of an interrupted job does. No list there is success (the swap ran to its
    // end). A list refused, or a link on the way, refuses the whole swap: nothing is
    // moved, refused names it, and the result is a failure (ERROR_INVALID_DATA).
    static FileResult RunListed(const std::vector<SwapLayer>& layers, const DataName::Syntax& syntax, bool forward,
                                std::optional<RefusedInput>& refused);

private:
    FileResult ForwardOne(const SwapEntry& entry) const;
    FileResult BackwardOne(const SwapEntry& entry) const;

    std::vector<SwapLayer> layers_;
    std::vector<SwapEntry> entries_;
};
