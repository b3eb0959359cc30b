#pragma once
// Tasks in the root folder of the Task Scheduler, through its COM service (ITaskService).
// Each call connects to the service on the calling thread. A failure raises an AppError
// carrying the HRESULT, the source "Task Scheduler" and the system's text for it.

#include <optional>
#include <string>

// What a registered task does, as the service gives it back.
struct ScheduledTask {
    std::wstring xml;          // the whole definition
    std::wstring description;
    std::wstring command;      // the program of the first action; "" for none
    std::wstring arguments;
    std::wstring start;        // the first trigger's start, "2026-12-08T21:00:00"; "" for none
};

// Registers the task from its XML, replacing one of that name.
void RegisterTask(const std::wstring& name, const std::wstring& xml);

// Removes the task; false when there is none of that name.
bool DeleteTask(const std::wstring& name);

// The task of that name; nothing when there is none.
std::optional<ScheduledTask> FindTask(const std::wstring& name);
