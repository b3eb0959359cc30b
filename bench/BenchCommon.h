#pragma once
// What every benchmark program shares: rounds, the clock, the median, failing a run,
// and the plain copy loop that is the platform's floor for a Win32 program.

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "files/DirSearch.h"

namespace bench {

inline const int kRuns = 3;

[[noreturn]] inline void Fail(const std::wstring& what) {
    std::fprintf(stderr, "benchmark failed: %ls\n", what.c_str());
    std::fflush(stderr);
    ExitProcess(1);
}

inline double NowMs() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The floor for a Win32 program: one CreateDirectoryW per folder, one CopyFileW per file.
inline void CopyTreeLoop(const std::wstring& source, const std::wstring& destination) {
    if (!CreateDirectoryW(destination.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        Fail(L"cannot create folder " + destination);
    DirSearch search(source + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (entry.IsDotEntry())
            continue;
        std::wstring from = source + L"\\" + entry.name;
        std::wstring to = destination + L"\\" + entry.name;
        if (entry.IsFolder())
            CopyTreeLoop(from, to);
        else if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
            Fail(L"CopyFileW failed on " + from);
    }
}

}  // namespace bench
