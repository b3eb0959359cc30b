#include "engine/CopyPlan.h"

#include <windows.h>

#include "engine/GameLayout.h"
#include "files/DirSearch.h"
#include "files/ExistingFolder.h"
#include "runtime/AppError.h"

namespace {

std::wstring FoldCase(std::wstring path) {
    if (!path.empty())
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

std::wstring Join(const std::wstring& folder, const std::wstring& name) {
    return folder.empty() ? name : folder + L"\\" + name;
}

std::wstring ParentOf(const std::wstring& relative) {
    size_t cut = relative.find_last_of(L'\\');
    return cut == std::wstring::npos ? std::wstring() : relative.substr(0, cut);
}

// A listing that fails becomes the result, with the tree concerned.
template <class List>
FileResult Listed(const std::wstring& where, List&& list) {
    try {
        list();
        return FileResult::Success();
    } catch (const AppError& e) {
        return FileResult::Failure(static_cast<DWORD>(e.Number()), where);
    }
}

bool Stat(const std::wstring& longPath, DirEntry& entry) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(longPath.c_str(), GetFileExInfoStandard, &data))
        return false;
    entry.attributes = data.dwFileAttributes;
    entry.size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return true;
}

}  // namespace

std::size_t CopyPlan::NewOrigin(const std::wstring& shown) {
    origins_.push_back({shown, LongPath(shown)});
    return origins_.size() - 1;
}

std::size_t CopyPlan::Find(const std::wstring& destination) const {
    auto found = planned_.find(FoldCase(destination));
    return found == planned_.end() ? static_cast<std::size_t>(-1) : found->second;
}

void CopyPlan::Add(CopyItem item, std::size_t origin) {
    planned_[FoldCase(item.destination)] = items_.size();
    if (!item.folder) {
        ++files_;
        bytes_ += item.size;
    }
    items_.push_back(std::move(item));
    originOf_.push_back(origin);
}

void CopyPlan::Place(const std::wstring& source, const std::wstring& destination, std::uint64_t size,
                     std::size_t origin) {
    std::size_t at = Find(destination);
    if (at == static_cast<std::size_t>(-1) || items_[at].folder) {
        // A file where a folder is planned is added all the same: its copy fails, as
        // copying a file over a folder does.
        Add({source, destination, size, false}, origin);
        return;
    }
    // A later source for the same file takes the earlier one's place.
    bytes_ -= items_[at].size;
    bytes_ += size;
    items_[at].source = source;
    items_[at].size = size;
    originOf_[at] = origin;
}

void CopyPlan::EnsureFolder(const std::wstring& source, const std::wstring& destination, std::size_t origin) {
    if (Find(destination) == static_cast<std::size_t>(-1))
        Add({source, destination, 0, true}, origin);
}

void CopyPlan::AddTree(const std::wstring& source, const std::wstring& destination, const std::wstring& relative,
                       const Diversion* diversion, std::size_t origin) {
    std::vector<DirEntry> entries = DirSearch::Everything(source);
    for (const DirEntry& entry : entries) {
        if (entry.IsFolder())
            continue;
        std::wstring rel = Join(relative, entry.name);
        std::wstring from = source + L"\\" + entry.name;
        if (!diversion || !diversion->applies(rel)) {
            Place(from, destination + L"\\" + entry.name, entry.size, origin);
            continue;
        }
        // The folders above a diverted file are made there too.
        std::wstring root = LongPath(diversion->root);
        std::wstring parent = ParentOf(rel);
        for (size_t cut = 0; !parent.empty() && cut != std::wstring::npos;) {
            cut = parent.find(L'\\', cut + 1);
            EnsureFolder(source, root + L"\\" + parent.substr(0, cut), origin);
        }
        Place(from, root + L"\\" + rel, entry.size, origin);
    }
    for (const DirEntry& entry : entries) {
        if (!entry.IsFolder())
            continue;
        std::wstring from = source + L"\\" + entry.name;
        std::wstring to = destination + L"\\" + entry.name;
        EnsureFolder(from, to, origin);
        AddTree(from, to, Join(relative, entry.name), diversion, origin);
    }
}

FileResult CopyPlan::AddFolder(const std::wstring& sourceRoot, const std::wstring& name, const std::wstring& destRoot,
                               const Diversion* diversion) {
    std::wstring source = game::Entry(sourceRoot, name);
    std::size_t origin = NewOrigin(source);
    const std::wstring longSource = origins_[origin].longForm;
    if (!EntryExists(longSource)) {
        // A tree without this folder gives an empty one, as the folder copy makes it.
        if (FileResult made = MakeFolderPath(source); !made.Ok())
            throw AppError::FromWin32(made.error, L"CopyFolder");
    }
    std::wstring destination = LongPath(game::Entry(destRoot, name));
    if (!IsExistingFolder(longSource)) {
        // A file of the folder's name is copied as it stands.
        DirEntry file;
        if (Stat(longSource, file))
            Place(longSource, destination, file.size, origin);
        return FileResult::Success();
    }
    return Listed(source, [&] {
        EnsureFolder(longSource, destination, origin);
        AddTree(longSource, destination, name, diversion, origin);
    });
}

FileResult CopyPlan::AddOverlay(const std::wstring& overlayRoot, const std::wstring& name,
                                const std::wstring& destRoot, const Diversion* diversion) {
    std::wstring source = game::Entry(overlayRoot, name);
    if (!IsExistingFolder(LongPath(source)))
        return FileResult::Success();
    std::size_t origin = NewOrigin(source);
    std::wstring destination = LongPath(game::Entry(destRoot, name));
    return Listed(source, [&] {
        EnsureFolder(origins_[origin].longForm, destination, origin);
        AddTree(origins_[origin].longForm, destination, name, diversion, origin);
    });
}

bool CopyPlan::AddFile(const std::wstring& sourceRoot, const std::wstring& name, const std::wstring& destRoot,
                       const Diversion* diversion) {
    std::wstring source = game::Entry(sourceRoot, name);
    DirEntry file;
    if (!Stat(LongPath(source), file) || file.IsFolder())
        return false;
    std::size_t origin = NewOrigin(source);
    bool diverted = diversion && diversion->applies(name);
    std::wstring root = diverted ? diversion->root : destRoot;
    Place(origins_[origin].longForm, LongPath(game::Entry(root, name)), file.size, origin);
    return true;
}

FileResult CopyPlan::AddMissing(const std::wstring& heldRoot, const std::wstring& destRoot) {
    return Listed(heldRoot, [&] {
        for (const wchar_t* name : game::DataNames) {
            std::wstring held = LongPath(game::Entry(heldRoot, name));
            DirEntry entry;
            if (!Stat(held, entry))
                continue;
            std::size_t origin = NewOrigin(game::Entry(heldRoot, name));
            FillMissing(held, entry, LongPath(game::Entry(destRoot, name)), origin);
        }
    });
}

void CopyPlan::FillMissing(const std::wstring& held, const DirEntry& entry, const std::wstring& destination,
                           std::size_t origin) {
    std::size_t at = Find(destination);
    if (at == static_cast<std::size_t>(-1)) {
        if (!entry.IsFolder()) {
            Add({held, destination, entry.size, false}, origin);
            return;
        }
        EnsureFolder(held, destination, origin);
        AddTree(held, destination, std::wstring(), nullptr, origin);
        return;
    }
    // What the new data has stands; only two folders merge.
    if (!entry.IsFolder() || !items_[at].folder)
        return;
    for (const DirEntry& child : DirSearch::Everything(held))
        FillMissing(held + L"\\" + child.name, child, destination + L"\\" + child.name, origin);
}

std::wstring CopyPlan::ShownSource(std::size_t item) const {
    const OriginPaths& origin = origins_[originOf_[item]];
    const std::wstring& source = items_[item].source;
    if (source.rfind(origin.longForm, 0) == 0)
        return origin.shown + source.substr(origin.longForm.size());
    return source;
}

const std::wstring& CopyPlan::Origin(std::size_t item) const { return origins_[originOf_[item]].shown; }
