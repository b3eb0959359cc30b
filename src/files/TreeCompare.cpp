#include "files/TreeCompare.h"

#include <windows.h>

#include <unordered_map>

#include "files/DirSearch.h"
#include "files/ExistingFolder.h"
#include "files/FileOps.h"
#include "files/QuickCheck.h"

namespace {

// File names compare without regard to case, as the file system does.
std::wstring FoldCase(std::wstring name) {
    if (!name.empty())
        CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
    return name;
}

bool Matches(const DirEntry& original, const DirEntry& copied, Compare mode, const QuickCheck& quick) {
    if (mode == Compare::Presence)
        return true;
    if (original.IsFolder())
        return copied.IsFolder();
    return quick.Same(original, copied);
}

class Comparison {
public:
    Comparison(std::vector<std::wstring>& found, size_t limit, Compare mode, const QuickCheck& quick)
        : found_(found), limit_(limit), mode_(mode), quick_(quick) {}

    // Both folders exist; compares their contents, depth first. rel is the folders'
    // path below the roots ("" or ending in "\").
    void Below(const std::wstring& source, const std::wstring& copy, const std::wstring& rel) {
        std::unordered_map<std::wstring, DirEntry> copied;
        for (DirEntry& entry : DirSearch::Everything(copy))
            copied.emplace(FoldCase(entry.name), std::move(entry));

        std::vector<DirEntry> originals = DirSearch::Everything(source);
        std::vector<const DirEntry*> descend;
        for (const DirEntry& original : originals) {
            auto found = copied.find(FoldCase(original.name));
            if (found == copied.end() || !Matches(original, found->second, mode_, quick_)) {
                if (!Add(rel + original.name))
                    return;
            } else if (original.IsFolder() && found->second.IsFolder() &&
                       !(original.attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                // A link to a folder may lead back up the tree: its presence is enough.
                descend.push_back(&original);
            }
        }
        for (const DirEntry* folder : descend) {
            Below(source + L"\\" + folder->name, copy + L"\\" + folder->name, rel + folder->name + L"\\");
            if (Full())
                return;
        }
    }

    bool Add(const std::wstring& rel) {
        found_.push_back(rel);
        return !Full();
    }

private:
    bool Full() const { return found_.size() >= limit_; }

    std::vector<std::wstring>& found_;
    size_t limit_;
    Compare mode_;
    const QuickCheck& quick_;
};

}  // namespace

std::vector<std::wstring> TreeDifferences(const std::wstring& source, const std::wstring& copy, size_t limit,
                                          Compare mode) {
    std::vector<std::wstring> found;
    if (limit == 0)
        return found;
    QuickCheck quick({source, copy});
    Comparison comparison(found, limit, mode, quick);
    std::wstring longCopy = LongPath(copy);
    if (!IsExistingFolder(longCopy)) {
        comparison.Add(L"");
        return found;
    }
    comparison.Below(LongPath(source), longCopy, L"");
    return found;
}

std::wstring FirstDifference(const std::wstring& source, const std::wstring& copy) {
    std::vector<std::wstring> found = TreeDifferences(source, copy, 1);
    if (found.empty())
        return {};
    return found.front().empty() ? source : source + L"\\" + found.front();
}
