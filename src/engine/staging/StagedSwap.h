#pragma once
// A change of game data trees made safe by staging. The new entries are written first
// into a staging folder beside each tree, which the tree does not see; then each is
// swapped into place by renames, the entry it replaces moved into a keeping folder, and
// an entry to remove moved there too. Every step is one rename, and each entry's steps
// are safe to repeat: from the list of entries alone, a swap that was interrupted at
// any point can be finished (Forward) or undone (Backward).
//
// The list says of each new entry whether it replaces one that stood in its place when
// the list was written (Replace) or not (Add). What the disk shows of an entry (its staged
// copy, its place, its kept entry) then tells exactly how far its steps got; a missing
// staged copy is never taken for one already in place. Where the disk and the list
// disagree (a staged copy gone, something in a place that should be empty), the swap
// stops at that entry and names it, before it moves anything of it.
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
    // Put is what earlier releases wrote for both Add and Replace: for such a list a
    // missing staged copy is taken as in place, as they took it.
    enum class Kind : char { Put = '+', Add = '>', Replace = '*', Remove = '-' };
    Kind kind = Kind::Put;
    int layer = 0;  // index into the layers
    DataName name;  // below the layer's root ("saves\slot 1\game.sav")
};

// The list of a staging folder's entries, "Tarnwick swap list.txt" in it.
std::wstring SwapListPath(const std::wstring& staging);

// Removes a staging folder whose swap went to its end, forward or back: first renamed to
// removing (a name no start replays), on the disk, so that a removal cut short part-way is
// never taken for a swap still to finish or undo; what a removal cut short left under
// removing goes first. Nothing there is success.
FileResult RemoveSpentStaging(const std::wstring& staging, const std::wstring& removing);

class StagedSwap {
public:
    StagedSwap(std::vector<SwapLayer> layers, std::vector<SwapEntry> entries);

    // Records of each entry to put in place whether something stands in its place now
    // (Replace) or not (Add): what a job does just before it writes the list. A staged
    // copy that is not there fails (ERROR_FILE_NOT_FOUND, naming it).
    FileResult Record();
    const std::vector<SwapEntry>& Entries() const { return entries_; }
    // The staging folders were renamed: the same swap goes on from there.
    void Relocate(std::vector<SwapLayer> layers) { layers_ = std::move(layers); }

    // Puts every staged entry in place, the one it replaces (and every one to remove)
    // into the keeping folder. An entry not as the list says stops it, named.
    FileResult Forward();
    // Puts back what Forward has done so far (everything, for a swap this object did not
    // run forward itself), last entry first.
    FileResult Backward();
    // Whether every entry is as the list says, for a swap in that direction from wherever
    // it was interrupted; the first that is not, named. Nothing is moved.
    FileResult Check(bool forward) const;

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
    // Forward, from the list's first entry; live: this object makes the whole swap, so no
    // entry is in place yet when it is reached (else the swap resumes an interrupted one).
    FileResult ForwardFrom(bool live);
    // One entry's step, or (act false) only whether it can be taken. live: the entry has
    // not been reached by this swap yet, so its staged copy must be there.
    FileResult ForwardOne(const SwapEntry& entry, bool act, bool live) const;
    FileResult BackwardOne(const SwapEntry& entry, bool act) const;

    std::vector<SwapLayer> layers_;
    std::vector<SwapEntry> entries_;
    std::size_t reached_ = 0;  // Forward: the entries before this one are in place
    bool ranForward_ = false;
};
