#pragma once
// One change a restore makes to the game's data, found by its walk before anything is
// changed: what the preview prints, what the wizard's list shows a row for, and what a
// choice picks from. Files that are the same in the set and the game are no change.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FileStamp {
    std::uint64_t size = 0;
    std::uint64_t lastWrite = 0;  // 100-ns intervals since 1601 (UTC)
};

struct RestoreChange {
    enum class Kind { Replace, Add, Remove };
    Kind kind = Kind::Add;
    std::wstring name;              // in the game's data: "saves\slot 1\save 1.sav"
    bool folder = false;            // an empty folder added, or a folder taken away
    std::optional<FileStamp> set;   // the set's file: Replace, Add
    std::optional<FileStamp> game;  // the game's file as it stands: Replace, Remove
};

struct RestoreCounts {
    std::uint64_t replaced = 0, added = 0, removed = 0;
    std::uint64_t bytes = 0;  // copied from the set

    std::uint64_t Files() const { return replaced + added + removed; }
};

RestoreCounts CountChanges(const std::vector<RestoreChange>& changes);
