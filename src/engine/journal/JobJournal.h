#pragma once
// The journal of a running job. Before its first change a job writes down what it does
// and where the earlier data lies; it writes each later stage that changes what an
// interruption would need undone; after its last step it removes the journal. A journal
// found when the program starts again, or before the next job, is what a job left that
// was killed (a crash, End task, a power cut): JobRecovery puts its data right.
//
// One file for the user: %LOCALAPPDATA%\Glimmerfen Studios\Backup Tarnwick\job journal.txt,
// UTF-8 text, a first line that names it, then one "key=value" line per field (see
// JobJournal.cpp). Every write goes to "job journal.txt.new" beside it, written through
// and flushed, and is then renamed over the journal with MOVEFILE_WRITE_THROUGH: after a
// power cut the journal is the old one or the new one, whole, never a mix.

#include <string>

#include "files/FileOps.h"

enum class JobKind { Backup, Restore };

enum class JournalStage {
    Copying,     // the new and changed files are being copied into staging folders; the
                 // data in place is untouched
    Swapping,    // all is staged and on the disk: the swap into place goes on to its end
    Unswapping,  // a swap that failed is being undone
    Committing,  // the new data stands whole: only tidying up is left
};

struct JournalEntry {
    JobKind kind = JobKind::Backup;
    JournalStage stage = JournalStage::Copying;
    std::wstring gameFolder;
    std::wstring setFolder;
    std::wstring perUserCopy;        // restore: Windows' per-user copy of the game folder; "" for none
    std::wstring safetySet;          // restore: the safety set that keeps what the swap replaces
    bool madeSafetySetRoot = false;  // restore: the folder of all safety sets is this job's
    bool madeSetFolder = false;      // backup: the set folder was made for it (a dated set)
};

class JobJournal {
public:
    explicit JobJournal(std::wstring path);

    // The user's journal; "" when the user's local application data folder is not known.
    static std::wstring DefaultPath();

    // Writes the entry durably, in place of what the journal held.
    FileResult Write(const JournalEntry& entry);
    // Removes the journal (nothing there is success).
    FileResult Remove();

    enum class Found { Nothing, Entry, Unreadable };
    Found Read(JournalEntry& entry) const;

    const std::wstring& Path() const { return path_; }

private:
    std::wstring path_;
};
