#include "engine/LayeredListing.h"

#include <windows.h>

namespace {

std::wstring FoldCase(std::wstring name) {
    if (!name.empty())
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

}  // namespace

LayeredListing::LayeredListing(const std::vector<std::wstring>& folders) {
    for (const std::wstring& folder : folders) {
        for (DirEntry& entry : DirSearch::Everything(folder)) {
            LayeredEntry& listed = entries_[FoldCase(entry.name)];
            std::wstring path = folder + L"\\" + entry.name;
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
    auto found = entries_.find(FoldCase(name));
    return found == entries_.end() ? nullptr : &found->second;
}

std::vector<const LayeredEntry*> LayeredListing::Entries() const& {
    std::vector<const LayeredEntry*> all;
    for (const auto& [key, listed] : entries_)
        all.push_back(&listed);
    return all;
}
