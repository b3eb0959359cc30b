#pragma once
// Puts right what a job left that did not end (a crash, End task, a power cut), from the
// journal it left (JobJournal). It runs when the program starts, before the main menu
// takes a click, and again before any job starts:
//
// - an interrupted restore: the game's data is put back from its safety set exactly as
//   it was before the restore; a restore that already stood whole is finished instead;
// - an interrupted backup: the earlier set goes back in place with its marker exactly as
//   it was (see EarlierSet.h); a backup whose new set stood whole with its marker written
//   and read back is finished instead.
//
// A journal is acted on only where it names the job's own folders: a game folder the
// caller gives, Windows' per-user copy of that folder, a safety set in its folder of
// safety sets, and a set folder in full form. One that names anything else is kept aside
// as one that cannot be read. A swap list this program did not write, or a link on a
// swap's way, is never acted on either: the data stays as it lies, and refused says why.
//
// An interrupted backup into a set folder that is not there now (a stick taken out, a
// drive not mounted) waits for it: its journal is set aside beside the journal, numbered,
// and every later start and job says so and runs; the first one that finds the folder
// there again puts that backup right. Jobs elsewhere are never held up by it.
//
// Data that cannot be put right now (a file in use) stays where it lies and the journal
// stays too, so that the next start tries again. An
// interrupted restore into folders this user may not write (see RestoreRights.h) is not
// touched at all: a copy of the program with the rights puts it right.

#include <optional>
#include <string>
#include <vector>

#include "engine/input/RefusedInput.h"
#include "engine/journal/JobJournal.h"
#include "files/FileOps.h"

struct Recovery {
    enum class Found {
        Nothing,     // no journal
        Job,         // a journal of an interrupted job (see kind)
        Unreadable,  // a journal that cannot be read, or names folders not the job's own
                     // (foreign): kept aside as keptAt
        Busy,        // another running program holds the job lock: its job is not interrupted
    };
    Found found = Found::Nothing;
    JobKind kind = JobKind::Backup;
    bool finished = false;        // the job already stood whole and was finished, not undone
    bool emptyFolder = false;     // a backup into a folder that held no set: its copy was removed
    bool foreign = false;         // Unreadable: a journal naming folders not the job's own
    bool needsRights = false;     // a restore this user may not put right: nothing was touched
    std::wstring gameFolder;
    std::wstring setFolder;
    FileResult failure;           // what could not be put right; Ok when everything was
    std::wstring keptAt;          // where the earlier data (or the unreadable journal) lies now
    std::optional<RefusedInput> refused;  // what was not acted on, where that is why

    // Interrupted backups that wait for their set folder to be there again.
    struct Waiting {
        std::wstring setFolder;
        std::wstring journal;  // its journal, set aside
    };
    std::vector<Waiting> waiting;

    // Whether a journal was acted on (the waiting ones are not).
    bool DidSomething() const { return found == Found::Job || found == Found::Unreadable; }
    bool Ok() const { return failure.Ok(); }
};

// Acts on the journal at journalPath, if there is one, and removes it once all is right,
// or sets it aside to wait; then, where no journal was acted on, on the first journal
// waiting whose set folder is there again. gameFolders are the game folders its job may
// have worked on. Takes the job lock for the
// time it works (a caller that holds it already may call it).
Recovery RecoverInterruptedJob(const std::wstring& journalPath, const std::vector<std::wstring>& gameFolders);
