#pragma once
// A backup every day: what it is, the arguments the program runs with for it, the Task
// Scheduler's definition of it (XML, schema 1.2), and the crontab line that does the
// same for the program under Wine, whose task service keeps a task but never runs it.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// A time of day to the minute, as the player types it: "21:00", "7:05". The daily
// backup's time unless the player gives another: 21:00.
struct TimeOfDay {
    int hour = 21;
    int minute = 0;

    static std::optional<TimeOfDay> Parse(const std::wstring& text);
    std::wstring Text() const;  // "07:05"
    bool operator==(const TimeOfDay&) const = default;
};

// A count of dated sets to keep as typed: digits only, 1 to 9999.
std::optional<unsigned> ParseSetsKept(const std::wstring& text);
// The most dated sets a folder keeps (what ParseSetsKept takes: four digits).
inline constexpr unsigned MaxSetsKept = 9999;

// The number of dated sets a daily backup keeps unless told otherwise: two weeks.
inline constexpr unsigned DefaultDailySetsKept = 14;

// The name of the task, in the Task Scheduler's root folder.
inline constexpr wchar_t DailyTaskName[] = L"Backup Tarnwick";

struct DailyBackup {
    std::wstring program;  // this program's full path
    std::wstring folder;   // the backup folder, full path
    TimeOfDay at;
    unsigned keep = DefaultDailySetsKept;

    // The program's arguments: a dated backup into the folder, keeping the newest sets.
    std::vector<std::wstring> Arguments() const;
};

// The task's definition. firstDay: the day of the trigger's first start (the time is
// the backup's).
std::wstring DailyTaskXml(const DailyBackup& backup, const SYSTEMTIME& firstDay);

// Where and how Wine runs the program, in Unix terms, for a crontab line.
struct WineRun {
    std::wstring program;  // the program's Unix path
    std::wstring prefix;   // the Wine prefix's
    // The locale of the run that set the backup up (see WineFileNameLocale); cron's own
    // would make Wine spell non-ASCII file names otherwise. "" leaves cron's.
    std::wstring locale;
};

// The crontab line that runs the same backup under Wine: the prefix and the program by
// their Unix paths, each argument quoted for the shell, "%" escaped for cron.
std::wstring DailyCronLine(const DailyBackup& backup, const WineRun& wine);
