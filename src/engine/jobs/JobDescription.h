#pragma once
// What a job did, in the player's words: the wizards show it in a message, the command
// line prints it as its line.

#include <cstdint>
#include <string>
#include <vector>

#include "engine/jobs/JobReport.h"
#include "engine/jobs/RestoreChange.h"
#include "engine/journal/JobJournal.h"
#include "engine/journal/JobRecovery.h"
#include "engine/journal/LastWindowlessBackup.h"

// What the program found of an interrupted job and did about it; "" when there was none.
std::wstring DescribeRecovery(const Recovery& recovery);

// What was put right before the job began, what stopped it, and where the data stands
// after it; "" for a job that stands whole with nothing to tell.
std::wstring DescribeJobProblems(const JobReport& report, JobKind kind, const std::wstring& setFolder);

// A number of files, agreeing ("1 file", "3 files").
std::wstring FilesCounted(std::uint64_t count);

// Up to ten of the files, "; " between them, then how many more, and a full stop.
std::wstring SomeFiles(const std::vector<std::wstring>& files);

// What a whole restore adds to its word: what it left out because the set's manifest does
// not list it (how many, and up to ten of them), and a safety set's manifest that could
// not be written; "" for nothing.
std::wstring DescribeRestoreNotes(const JobReport& report);

// What the program would not act on (a list's line, a link), in a set folder or a folder a
// job stages in.
std::wstring DescribeRefused(const RefusedInput& refused, const std::wstring& setFolder);

// A size in the user's own units and separators ("4.52 MB").
std::wstring ByteSize(std::uint64_t bytes);

// A file time (UTC) as the user's local date and time, to the minute ("2026-12-08 21:00").
std::wstring ShortDateTime(std::uint64_t fileTime);

// A file's last-write time and size ("2026-12-08 21:00, 4.00 KB").
std::wstring DescribeStamp(const FileStamp& stamp);

// What a restore does to a file: replace, add, remove.
const wchar_t* ChangeWord(RestoreChange::Kind kind);

// One change a restore would make, as a line: its word (replace, add, remove), its name in
// the game's data (a folder's ending in "\\"), then, after a tab each, the set's and the
// game's date and size where it has them.
std::wstring DescribeChange(const RestoreChange& change);

// What a restore would change, counted, in one sentence.
std::wstring DescribePreview(const std::vector<RestoreChange>& changes, const std::wstring& setFolder,
                             const std::wstring& gameFolder);

// A local date and time to the minute ("2026-12-08 21:00").
std::wstring ShortDateTime(const SYSTEMTIME& local);

// How the last backup without a window ended, for /schedule: complete, or why not.
std::wstring DescribeLastWindowlessBackup(const std::optional<WindowlessBackup>& last);
// The main menu's line for a backup without a window that failed.
std::wstring DescribeWindowlessFailure(const WindowlessBackup& last);
