#pragma once
// The earlier backup set in a set folder, as earlier releases of the program kept it
// while a new backup into that folder ran (backups now stage the new data instead, see
// BackupStaging.h): a set folder may still hold what such a backup left when it was
// interrupted. The earlier set waited in a holding folder inside the set folder, whose
// name says how far the backup got:
//
//   "Tarnwick earlier set (being set aside)"    the earlier entries are being moved in;
//                                               nothing has been copied yet
//   "Tarnwick earlier set (kept until the new backup is complete)"
//                                               all of them are in; whatever the set
//                                               folder holds under the other names of
//                                               game data is the new copy's
//   "Tarnwick earlier set (being put back)"     the new copy's other entries are gone;
//                                               the held ones are being swapped back
//   "Tarnwick earlier set (being removed)"      the new set stands whole with its marker;
//                                               the earlier set is no longer needed

#include <optional>
#include <string>

#include "engine/input/RefusedInput.h"
#include "files/FileOps.h"

enum class EarlierSetState { BeingSetAside, Kept, BeingPutBack, BeingRemoved };

// The holding folder of setFolder in that state.
std::wstring EarlierSetFolder(const std::wstring& setFolder, EarlierSetState state);

// True when setFolder holds a holding folder of any state but BeingRemoved: a backup
// into it was interrupted before its new set stood, and the set folder may hold part of
// a new copy.
bool HoldsInterruptedBackup(const std::wstring& setFolder);

// The holding folder that an interrupted backup left in setFolder, whatever its state
// but BeingRemoved; setFolder itself when there is none.
std::wstring InterruptedHolding(const std::wstring& setFolder);

// Puts right what an interrupted backup left in setFolder, by the holding folder's name
// and content: the held entries go back in place of the set's of the same names; a new
// set that stood whole (its earlier set was being removed already) lets it go instead.
// Nothing to do is success. On a failure what is still held stays in the holding folder,
// and the result names the path that could not be moved. A holding folder that is a link
// is never acted on: refused names it.
FileResult RecoverEarlierSet(const std::wstring& setFolder, std::optional<RefusedInput>& refused);
