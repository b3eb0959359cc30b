#pragma once
// Where a job run from the command line says what it did: the console it was started
// from, and a log kept for the user, since a scheduled job has nobody at the screen.

#include <windows.h>

#include <string>

// Writes the text to standard output: the file or pipe it is redirected to, else the
// console of the program that started this one. Nothing when there is neither. Under Wine
// a file or pipe gets its lines ended by LF alone; on Windows by CR LF.
void WriteToConsole(const std::wstring& text);

// %LOCALAPPDATA%\Glimmerfen Studios\Backup Tarnwick\log.txt.
std::wstring CommandLogPath();

// Appends "yyyy-mm-dd hh:mm:ss  line" to the log, making its folder as needed; the
// platform's error when it could not.
DWORD AppendToLog(const std::wstring& logPath, const SYSTEMTIME& time, const std::wstring& line);
