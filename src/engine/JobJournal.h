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
#include <vector>

#include "files/FileOps.h"

enum class JobKind { Backup, Restore };

enum class JournalStage {
    SettingAside,  // the earlier data is being moved aside; nothing is copied yet
    Copying,       // the earlier data lies aside whole (the names in held); the new data
                   // is being copied, or being undone after a failure or a stop
    Committing,    // the new data stands whole (a backup's marker read back): nothing
                   // is undone any more, the earlier data may go
};

struct JournalEntry {
    JobKind kind = JobKind::Backup;
    JournalStage stage = JournalStage::SettingAside;
    std::wstring gameFolder;
    std::wstring setFolder;
    std::wstring perUserCopy;     // Windows' per-user copy of the game folder; "" for none
    std::wstring safetySet;       // restore: the safety set that holds the game's data
    std::wstring perUserLayer;    // restore: the safety set's folder for the per-user copy
    bool madeSafetySetRoot = false;  // restore: the folder of all safety sets is this job's
    std::vector<std::wstring> held;         // Copying on: the entries set aside
    std::vector<std::wstring> heldPerUser;  // restore, Copying on: those of the per-user copy
    std::wstring marker;          // backup: the marker it writes
    std::string markerBefore;     // backup: that marker as it was (MarkerSnapshot::Encode)
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
