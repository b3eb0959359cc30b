#pragma once
// A change of game data trees made safe by staging. The new entries are written first
// into a staging folder beside each tree, which the tree does not see; then each is
// swapped into place by renames, the entry it replaces moved into a keeping folder, and
// an entry to remove moved there too. Every step is one rename, and each entry's steps
// are safe to repeat: from the list of entries alone, a swap that was interrupted at
// any point can be finished (Forward) or undone (Backward).

#include <string>
#include <vector>

#include "files/FileOps.h"

struct SwapLayer {
    std::wstring root;     // the tree
    std::wstring staging;  // where its new entries wait, in the same tree structure
    std::wstring kept;     // where what they replace, and what is removed, goes
};

struct SwapEntry {
    enum class Kind : char { Put = '+', Remove = '-' };
    Kind kind = Kind::Put;
    int layer = 0;          // index into the layers
    std::wstring relative;  // below the layer's root ("saves\slot 1\game.sav")
};

class StagedSwap {
public:
    StagedSwap(std::vector<SwapLayer> layers, std::vector<SwapEntry> entries);

    // Puts every staged entry in place, the one it replaces (and every one to remove)
    // into the keeping folder.
    FileResult Forward();
    // Puts back what Forward has done so far, last entry first.
    FileResult Backward();

    // The entries as text, a line each: "+0 saves\slot 1\game.sav" (UTF-8); and back.
    static std::string Encode(const std::vector<SwapEntry>& entries);
    static bool Decode(const std::string& text, std::vector<SwapEntry>& entries);

private:
    FileResult ForwardOne(const SwapEntry& entry) const;
    FileResult BackwardOne(const SwapEntry& entry) const;

    std::vector<SwapLayer> layers_;
    std::vector<SwapEntry> entries_;
};
