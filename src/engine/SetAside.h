#pragma once
// The game data of one tree (its "saves", "maps", "scores" and "tarnwick.cfg") moved
// aside into a holding folder by renaming on the same volume: it costs next to nothing
// whatever its size, and lets a job replace the data and, should the job fail, put the
// earlier data back exactly as it was.
//
// Each entry is in root or in the holding folder, never in both and never half moved: a
// rename is all or nothing. The two steps that undo a job are each safe to repeat after
// an interruption, given which names were set aside: so what a killed job left can
// always be put back.

#include <string>
#include <vector>

#include "files/FileOps.h"

class SetAside {
public:
    // An empty root (no such tree) makes every operation do nothing.
    SetAside(std::wstring root, std::wstring holding);

    // Moves whichever entries root holds into holding (made when missing). All or
    // nothing: on a failure what was moved goes back and root is as before.
    FileResult Take();

    // Renames the holding folder (its name may tell how far a job got).
    FileResult MoveHolding(const std::wstring& newHolding);

    // Undoes the job: RemoveUnheld, then ReplaceHeld.
    FileResult PutBack();
    // Removes root's entries of the names that were not set aside: after a whole Take
    // they are the job's alone. Does nothing before a whole Take.
    FileResult RemoveUnheld();
    // For each name set aside that the holding folder still holds: removes root's entry
    // of that name (the job's), then moves the held one back.
    FileResult ReplaceHeld();

    // For a holding folder that an interrupted job left behind: names are the entries it
    // had set aside; taken, whether its Take had finished.
    void Adopt(std::vector<std::wstring> names, bool taken);
    // The same with the names the holding folder holds now.
    void AdoptHeld(bool taken);

    bool HeldAny() const { return !held_.empty(); }
    const std::vector<std::wstring>& Held() const { return held_; }
    const std::wstring& Root() const { return root_; }
    const std::wstring& Holding() const { return holding_; }

private:
    bool IsHeld(const std::wstring& name) const;

    std::wstring root_;
    std::wstring holding_;
    std::vector<std::wstring> held_;  // entry names set aside
    bool taken_ = false;              // a whole Take happened
};
