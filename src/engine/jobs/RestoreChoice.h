#pragma once
// What a restore brings back: everything the set holds, or only some of its files and
// folders, named as in the game's data ("saves\slot 2", "tarnwick.cfg"). A name chosen
// takes everything below it; the folders above it are walked entry by entry, so that
// nothing else of the game's changes. The names come from a person (the command line,
// the wizard's list): each is a checked DataName, and a text that is not one is never
// guessed at.

#include <optional>
#include <string>
#include <vector>

#include "engine/input/DataName.h"

class RestoreChoice {
public:
    // Everything the set holds.
    RestoreChoice() = default;
    // Only these (at least one).
    explicit RestoreChoice(std::vector<DataName> names);

    // The names typed, each read as a name in the game's data (one trailing "\" of a
    // folder allowed); nothing, with the first text that is not one in bad.
    static std::optional<RestoreChoice> Parse(const std::vector<std::wstring>& texts, std::wstring& bad);

    bool All() const { return names_.empty(); }
    const std::vector<DataName>& Names() const { return names_; }

    // The entry at rel (in the game's data) is chosen: it or a folder above it is named.
    bool Takes(const std::wstring& rel) const;
    // A name chosen lies below the folder rel, which is walked but not taken whole.
    bool Leads(const std::wstring& rel) const;
    // Takes or Leads: the walk looks at rel at all.
    bool Reaches(const std::wstring& rel) const { return Takes(rel) || Leads(rel); }

private:
    std::vector<DataName> names_;
    std::vector<std::wstring> folded_;  // the names, upper case, for comparing
};
