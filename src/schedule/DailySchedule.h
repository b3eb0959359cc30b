#pragma once
// The daily backup set up and taken down: the task "Backup Tarnwick" in the Task
// Scheduler, and under Wine, whose task service keeps a task but never runs it, the
// crontab line that does. The backup wizard's finish panel and the command line share it.

#include <optional>
#include <string>

#include "runtime/ProgramFile.h"
#include "schedule/DailyBackup.h"
#include "schedule/TaskScheduler.h"

struct DailySetup {
    // Under Wine: the crontab line that runs the backup; nothing on Windows.
    std::optional<std::wstring> cronLine;
};

// Registers the task for the backup, replacing an earlier one. Raises an AppError when
// the Task Scheduler refuses it.
DailySetup ScheduleDailyBackup(const DailyBackup& backup);

// Removes the task; false when there was none. Raises an AppError when the Task
// Scheduler refuses it.
bool UnscheduleDailyBackup();

// The task as it is registered; nothing when there is none.
std::optional<ScheduledTask> ScheduledDailyBackup();
