#include "engine/staging/LayeredListing.h"

#include <windows.h>

#include <vector>

#include "files/FileOps.h"

namespace {

std::wstring FoldCase(std::wstring name) {
    if (!name.empty())
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

}  // namespace

LayeredListing::LayeredListing(const std::vector<std::wstring>& folders) {
    for (const std::wstring& folder : folders) {
        std::map<std::wstring, std::wstring> inThisFolder;  // by case-folded name
        for (DirEntry& entry : DirSearch::Everything(folder)) {
            std::wstring key = FoldCase(entry.name);
            std::wstring path = folder + L"\\" + entry.name;
            if (auto [seen, added] = inThisFolder.emplace(key, path); !added)
                clashes_.try_emplace(key, RefusedInput::CasePair(ShownPath(seen->second), ShownPath(path)));
            LayeredEntry& listed = entries_[key];
            bool merges = entry.IsFolder() && listed.entry.IsFolder();
            if (!merges)
                listed.folders.clear();
            if (entry.IsFolder())
                listed.folders.push_back(path);
            listed.path = entry.IsFolder() ? std::wstring() : path;
            listed.entry = std::move(entry);
        }
    }
}

const LayeredEntry* LayeredListing::Find(const std::wstring& name) const {
    std::wstring key = FoldCase(name);
    if (auto clash = clashes_.find(key); clash != clashes_.end())
        throw clash->second;
    auto found = entries_.find(key);
    return found == entries_.end() ? nullptr : &found->second;
}

std::vector<const LayeredEntry*> LayeredListing::Entries() const& {
    if (!clashes_.empty())
        throw clashes_.begin()->second;
    std::vector<const LayeredEntry*> all;
    for (const auto& [key, listed] : entries_)
        all.push_back(&listed);
    return all;
}

void RefuseLink(const LayeredEntry& entry) {
    if (!(entry.entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return;
    const std::wstring& path = entry.entry.IsFolder() ? entry.folders.back() : entry.path;
    throw RefusedInput::Link(ShownPath(path));
}

bool ReplacesWhole(const LayeredListing& incoming, const LayeredListing& inPlace, const std::wstring& rel,
                   const StaysInPlace& stays, std::vector<std::wstring>* added) {
    auto join = [&](const std::wstring& name) { return rel.empty() ? name : rel + L"\\" + name; };
    std::vector<std::pair<const LayeredEntry*, const LayeredEntry*>> folders;
    for (const LayeredEntry* entry : inPlace.Entries()) {
        const LayeredEntry* coming = incoming.Find(entry->entry.name);
        if (!coming)
            return false;
        if (coming->entry.IsFolder() != entry->entry.IsFolder())
            continue;
        if (coming->entry.IsFolder())
            folders.emplace_back(coming, entry);
        else if (stays(join(entry->entry.name), coming->entry, entry->entry))
            return false;
    }
    for (const auto& [coming, entry] : folders) {
        if (!ReplacesWhole(LayeredListing(coming->folders), LayeredListing(entry->folders),
                           join(entry->entry.name), stays, added))
            return false;
    }
    for (const LayeredEntry* entry : incoming.Entries()) {
        if (added && !inPlace.Find(entry->entry.name))
            added->push_back(join(entry->entry.name));
    }
    return true;
}
