#pragma once
// The copying steps both jobs are made of: one folder of game data, or the
// configuration file, from one tree into another, noted in the job's report.

#include <string>

#include "engine/JobReport.h"

// Copies the folder source, under its own name, into the folder destination (see
// CopyFolder) and notes in the report whether the copy is whole.
void CopyFolderInto(const std::wstring& source, const std::wstring& destination, JobReport& report);

// Copies the configuration file and notes the outcome: Missing when there is no source.
void CopyConfigFile(const std::wstring& source, const std::wstring& destination, JobReport& report);
