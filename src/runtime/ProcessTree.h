#pragma once
// A program run to its end together with every process it starts: it is put in a job
// object before its first instruction, and the wait lasts until the job holds no
// process any more. A game that starts a launcher, or hands over to a second process
// and ends, is over only when the last of them is.

#include <windows.h>

#include <string>
#include <vector>

struct ProcessTreeEnd {
    DWORD exitCode = 0;  // the program's own
    // Whether the processes it started were waited for too. When the job object could
    // not take the program (a system without nested jobs, say), only the program itself
    // was, and followError says why.
    bool followed = true;
    DWORD followError = ERROR_SUCCESS;
};

// Starts program with the arguments in folder, and waits. Raises an AppError (the
// system's error) when the program cannot be started.
ProcessTreeEnd RunProcessTree(const std::wstring& program, const std::vector<std::wstring>& arguments,
                              const std::wstring& folder);
