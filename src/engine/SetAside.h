#pragma once
// The game data of one tree (its "saves", "maps", "scores" and "tarnwick.cfg") moved
// aside into a holding folder by renaming on the same volume: it costs next to nothing
// whatever its size, and lets a job replace the data and, should the job fail, put the
// earlier data back exactly as it was.

#include <string>
#include <vector>

#include "files/FileOps.h"

class SetAside {
public:
    SetAside(std::wstring root, std::wstring holding);

    // Moves whichever entries root holds into holding (made when missing). All or
    // nothing: on a failure what was moved goes back and root is as before.
    FileResult Take();

    // Copies back into root every file and folder that holding has and root now lacks,
    // so that the new data merges with the earlier as a copy over it would.
    FileResult BringBackMissing() const;

    // Undoes the job: removes what now stands in root under the entries' names, then
    // moves the held entries back. Does nothing unless Take (or AdoptHeld) succeeded.
    FileResult PutBack();

    // For a holding folder that an interrupted job left behind: takes what it holds as
    // moved there, so that PutBack brings it back.
    void AdoptHeld();

    bool HeldAny() const { return !moved_.empty(); }
    const std::wstring& Holding() const { return holding_; }

private:
    FileResult MoveBack();

    std::wstring root_;
    std::wstring holding_;
    std::vector<std::wstring> moved_;  // entry names moved into holding
    bool taken_ = false;               // a whole Take (or AdoptHeld) happened
};
