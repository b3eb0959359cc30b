#include "schedule/DailySchedule.h"

#include <windows.h>

#include "runtime/WineHost.h"

namespace {

// Wine's default prefix, for when the running one cannot be found.
std::wstring DefaultPrefix() {
    wchar_t home[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableW(L"HOME", home, MAX_PATH);
    return (length > 0 && length < MAX_PATH ? std::wstring(home) : std::wstring(L"~")) + L"/.wine";
}

// The crontab line for this program in this prefix, with this run's locale.
std::wstring CronLineHere(const DailyBackup& backup) {
    WineRun wine{UnixPathOf(backup.program).value_or(backup.program), WinePrefixPath().value_or(DefaultPrefix()),
                 WineFileNameLocale().value_or(L"")};
    return DailyCronLine(backup, wine);
}

}  // namespace

DailySetup ScheduleDailyBackup(const DailyBackup& backup) {
    SYSTEMTIME today;
    GetLocalTime(&today);
    RegisterTask(DailyTaskName, DailyTaskXml(backup, today));
    DailySetup setup;
    if (WineVersion())
        setup.cronLine = CronLineHere(backup);
    return setup;
}

bool UnscheduleDailyBackup() { return DeleteTask(DailyTaskName); }

std::optional<ScheduledTask> ScheduledDailyBackup() { return FindTask(DailyTaskName); }
