#pragma once
// What a backup stages in its set folder, and how the folder alone tells how far the
// backup got, so that an interrupted backup is put right from the set folder itself,
// also where the job's journal is not at hand (a stick taken to another computer). The
// new and changed files wait in a staging folder whose name says the stage; the earlier
// files they replace wait in a keeping folder until the new set stands:
//
//   "Tarnwick new backup (being copied)"       copies under way; the set is untouched
//   "Tarnwick new backup (being swapped in)"   all is staged and on the disk, the list of
//                                              entries written: the swap goes on to its end
//   "Tarnwick new backup (being taken back)"   a swap that failed is being undone
//   "Tarnwick new backup (being removed)"      the swap went to its end, forward or back:
//                                              what is left goes, and nothing is replayed
//   "Tarnwick earlier files (kept until the new backup is complete)"
//                                              what the swap replaced, until the end
//
// The staging folder holds the list of its entries, "Tarnwick swap list.txt".

#include <optional>
#include <string>

#include "engine/staging/StagedSwap.h"
#include "files/FileOps.h"

enum class StagingState { Copying, Swapping, TakingBack, Removing };

// The set folder's layer for a backup in that stage: the set, its staging and keeping folders.
SwapLayer BackupLayer(const std::wstring& setFolder, StagingState state);

// True when setFolder holds what an interrupted backup left there.
bool HoldsStagedBackup(const std::wstring& setFolder);

// Puts right what an interrupted backup left in setFolder, by the staging folder's name:
// copies not yet swapped in go; a swap under way is finished (finished is then set); one
// being taken back is undone. Nothing there is success. On a failure what could not be
// put right stays where it is, and the result names the path; a swap list this program
// did not write, or a link, is never acted on: refused names it.
FileResult RecoverStagedBackup(const std::wstring& setFolder, std::optional<RefusedInput>& refused,
                               bool* finished = nullptr);

// After a swap went forward or back to its end: the staging and keeping folders go. The
// staging folder goes first, renamed "(being removed)" on the disk before anything in it
// goes: a keeping folder alone, or a staging folder of that name, is always one whose
// swap ended. The first that could not go (a link that cannot be removed, a file held
// open) is the result: a backup never stages into what an earlier one left.
FileResult RemoveStagingFolders(const std::wstring& setFolder);
