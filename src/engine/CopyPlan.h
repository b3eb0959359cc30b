#pragma once
// What one job copies, listed before the first file is copied, so that the totals are
// known from the start: the folders and files of game data trees, as items for the copy
// engine (FileCopier), in the order the job copies them, in the long-path form.
//
// The plan keeps the merge that copying over existing data makes, each destination
// planned once: an overlay's file takes the place of a planned file of the same name
// (the per-user copy's files over the game folder's), and earlier data brought back
// fills only what the new data leaves missing: a whole entry where the new data has none
// of that name, two folders merged, nothing where one is a file and the other a folder.
// Names compare without regard to case, as the file system compares them.

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "files/DirSearch.h"
#include "files/FileCopier.h"
#include "files/FileOps.h"

// Files whose path below the data tree ("saves\slot 1\game.sav") it applies to go below
// root instead of the plan's destination (Windows' per-user copy of the game folder).
struct Diversion {
    std::wstring root;
    std::function<bool(const std::wstring& relative)> applies;
};

class CopyPlan {
public:
    // Adds the folder sourceRoot\name with everything below it as destRoot\name. A
    // missing source folder is made first, empty, as the folder copy makes it: an
    // AppError when it cannot be. A listing that fails is the result.
    FileResult AddFolder(const std::wstring& sourceRoot, const std::wstring& name, const std::wstring& destRoot,
                         const Diversion* diversion = nullptr);
    // Adds every file below overlayRoot\name over destRoot\name; nothing when there is
    // no such folder.
    FileResult AddOverlay(const std::wstring& overlayRoot, const std::wstring& name, const std::wstring& destRoot,
                          const Diversion* diversion = nullptr);
    // Adds the file sourceRoot\name as destRoot\name; false, adding nothing, when there
    // is no such file.
    bool AddFile(const std::wstring& sourceRoot, const std::wstring& name, const std::wstring& destRoot,
                 const Diversion* diversion = nullptr);
    // Adds from heldRoot whatever of its game data the plan leaves missing in destRoot.
    FileResult AddMissing(const std::wstring& heldRoot, const std::wstring& destRoot);

    // The items planned so far: the end of the stage the caller has just listed.
    std::size_t End() const { return items_.size(); }
    const std::vector<CopyItem>& Items() const { return items_; }

    // The item's source as the caller named it (not in the long-path form).
    std::wstring ShownSource(std::size_t item) const;
    // The folder or file, as the caller named it, whose adding planned the item.
    const std::wstring& Origin(std::size_t item) const;

    // Files and bytes planned so far; may be read on another thread while the plan is
    // being listed.
    std::uint64_t Files() const { return files_; }
    std::uint64_t Bytes() const { return bytes_; }

private:
    struct OriginPaths {
        std::wstring shown;     // as the caller named it
        std::wstring longForm;  // LongPath of it
    };
    std::size_t NewOrigin(const std::wstring& shown);
    std::size_t Find(const std::wstring& destination) const;
    void Add(CopyItem item, std::size_t origin);
    // Plans the file, or gives a planned file of that destination this source.
    void Place(const std::wstring& source, const std::wstring& destination, std::uint64_t size, std::size_t origin);
    void EnsureFolder(const std::wstring& source, const std::wstring& destination, std::size_t origin);
    // Everything below the folder source as the same below destination; relative is
    // the folder's path below its data tree.
    void AddTree(const std::wstring& source, const std::wstring& destination, const std::wstring& relative,
                 const Diversion* diversion, std::size_t origin);
    void FillMissing(const std::wstring& held, const DirEntry& entry, const std::wstring& destination,
                     std::size_t origin);

    std::vector<CopyItem> items_;
    std::vector<std::size_t> originOf_;
    std::vector<OriginPaths> origins_;
    std::unordered_map<std::wstring, std::size_t> planned_;  // case-folded destination -> item
    std::atomic<std::uint64_t> files_{0};
    std::atomic<std::uint64_t> bytes_{0};
};
