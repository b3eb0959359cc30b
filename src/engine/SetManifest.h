#pragma once
// The manifest of a backup set, "Tarnwick set contents.sha256" in the set folder: the
// SHA-256 of every file of its saves, maps, scores and tarnwick.cfg, in the form that
// `sha256sum -c` reads, so that a player can check a set with standard tools:
//
//     <64 hex digits><two spaces><path>
//
// one line per file, the path relative to the set folder with "/" between its names, in
// UTF-8, sorted by path. Paths compare without regard to case, as the file system does.

#include <map>
#include <string>
#include <vector>

class SetManifest {
public:
    static const wchar_t FileName[];

    // Reads a manifest file; false, leaving it empty, when there is none or it is not one.
    bool Read(const std::wstring& path);

    // The digest of the file at relative ("saves\slot 1\game.sav"), or nullptr.
    const std::string* Find(const std::wstring& relative) const;
    void Set(const std::wstring& relative, std::string digest);
    std::size_t Size() const { return entries_.size(); }
    // Every path listed, with "\".
    std::vector<std::wstring> Paths() const;

    std::string Text() const;

private:
    struct Entry {
        std::wstring relative;  // as given, with "\"
        std::string digest;
    };
    std::map<std::wstring, Entry> entries_;  // by case-folded relative path
};
