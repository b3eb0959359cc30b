#pragma once
// What one job changes, found before anything is changed, so that the totals (and the
// room needed) are known from the start. The job's own walk compares the new data with
// what stands where it goes and adds here only what differs: each new or changed entry
// becomes copies into the layer's staging folder, in the same tree structure, plus one
// swap entry that puts it in place later (StagedSwap); a file that is only read, for its
// hash, becomes a read. The copies are items for the copy engine (FileCopier), in the
// long-path form. Every entry to swap is a valid name of the game's data (DataName),
// also those the walk found in a tree: one that a swap list could not name again raises
// an AppError (ERROR_INVALID_NAME) while the plan is listed.

#include <atomic>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "engine/staging/StagedSwap.h"
#include "files/FileCopier.h"

class ChangePlan {
public:
    explicit ChangePlan(std::vector<SwapLayer> layers);

    // A new or changed file: copied from source into the layer's staging folder at
    // relative, hashed on the way when asked, and swapped in as one entry unless it lies
    // inside a staged folder (within). Returns the copy's item.
    std::size_t StageFile(int layer, const std::wstring& relative, const std::wstring& source, std::uint64_t size,
                          bool hash, bool within = false);
    // A new file equal to linkTo (an earlier set's file, long form): made a hard link to
    // it in the staging folder, copied from source where no link can be made. Takes no
    // room of the volume's. Returns the item.
    std::size_t StageLink(int layer, const std::wstring& relative, const std::wstring& source,
                          const std::wstring& linkTo, std::uint64_t size, bool within = false);
    // A new folder in the staging folder at relative, swapped in as one entry (with
    // everything staged below it) unless it lies inside a staged folder.
    void StageFolder(int layer, const std::wstring& relative, const std::wstring& source, bool within = false);
    // A file the job writes into the staging folder itself (a manifest, a marker), to be
    // swapped in with the rest.
    void StagedByJob(int layer, const std::wstring& relative);
    // An entry of the layer to take away (into the keeping folder).
    void Remove(int layer, const DataName& name);
    // A file only read, for its hash; relative is its name in the data. Returns its item.
    std::size_t Read(const std::wstring& relative, const std::wstring& source, std::uint64_t size);

    // Whether every copy and folder staged is still there, just before the swap list is
    // written: one gone (an antivirus, a player tidying up) is named, never swapped in as
    // missing.
    FileResult CheckStaged() const;

    const std::vector<CopyItem>& Items() const { return items_; }
    const std::vector<SwapEntry>& Swaps() const { return swaps_; }
    const std::vector<SwapLayer>& Layers() const { return layers_; }
    // The bytes the plan writes into the layer's staging folder.
    std::uint64_t StagedBytes(int layer) const { return stagedBytes_.at(static_cast<size_t>(layer)); }

    // The item's source, as a person reads it.
    std::wstring ShownSource(std::size_t item) const { return ShownPath(items_.at(item).source); }
    // The item's name in the game's data ("maps\\forest.map"); "" for a staging folder itself.
    const std::wstring& ItemName(std::size_t item) const { return names_.at(item); }

    // Files and bytes planned so far (copies and reads); may be read on another thread
    // while the plan is being listed.
    std::uint64_t Files() const { return files_; }
    std::uint64_t Bytes() const { return bytes_; }

private:
    std::wstring Staged(int layer, const std::wstring& relative) const;
    // The folders above relative in the layer's staging folder, made first.
    void StageParents(int layer, const std::wstring& relative, const std::wstring& source);
    std::size_t Add(CopyItem item, const std::wstring& name);

    std::vector<SwapLayer> layers_;
    std::vector<std::wstring> longStaging_;
    std::vector<CopyItem> items_;
    std::vector<std::wstring> names_;  // of each item
    std::vector<SwapEntry> swaps_;
    std::vector<std::uint64_t> stagedBytes_;
    std::unordered_set<std::wstring> stagedFolders_;
    std::atomic<std::uint64_t> files_{0};
    std::atomic<std::uint64_t> bytes_{0};
};
