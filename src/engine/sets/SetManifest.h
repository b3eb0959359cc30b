#pragma once
// The manifest of a backup set, "Tarnwick set contents.sha256" in the set folder: the
// SHA-256 of every file of its saves, maps, scores and tarnwick.cfg, in the form that
// `sha256sum -c` reads, so that a player can check a set with standard tools:
//
//     <64 hex digits><two spaces><path>
//
// one line per file, the path relative to the set folder with "/" between its names, in
// UTF-8, sorted by path. A safety set's manifest lists what it keeps, the per-user copy's
// files below their layer's folder. Paths compare without regard to case, as the file system does.
// A manifest comes from the set folder, so it is read strictly: a line of any other form,
// a name that is not a valid name of the game's data (DataName) or one listed twice
// makes the whole manifest refused.

#include <map>
#include <string>
#include <vector>

#include "engine/game/GameLayout.h"
#include "engine/input/ListText.h"

class SetManifest {
public:
    static constexpr const wchar_t* FileName = game::ManifestName;

    // Reads the manifest file at path. Anything but Read leaves it empty.
    ListRead Read(const std::wstring& path);
    // The manifest in text, read from path; Refused names the first line it does not take.
    ListRead Decode(const std::string& text, const std::wstring& path);
    // The largest manifest read: some 4 million files.
    static constexpr std::size_t MaxBytes = 256u << 20;

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
