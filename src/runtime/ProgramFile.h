#pragma once

#include <string>

// The full path of this program's own exe: what the daily task and a restart run.
std::wstring ThisProgram();
