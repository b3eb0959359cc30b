// Benchmark of the folder tree scan, not a test: scans one tree with
// GetAllSubdirectories and with a plain recursive FindFirstFileW walk (the platform's
// floor), and prints the ratios against the `find -type d` time measured beside it.
//
// Usage: bench_scan <label> <root folder> <find milliseconds>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "files/clsFileSystem.h"

namespace {

using bench::kRuns;
using bench::Median;
using bench::NowMs;

// The floor: every folder listed once, its sub-folders counted.
long Walk(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE)
        return 0;
    std::vector<std::wstring> subfolders;
    do {
        bool dots = data.cFileName[0] == L'.' &&
                    (data.cFileName[1] == 0 || (data.cFileName[1] == L'.' && data.cFileName[2] == 0));
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !dots)
            subfolders.push_back(folder + L"\\" + data.cFileName);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    long count = static_cast<long>(subfolders.size());
    for (const auto& subfolder : subfolders)
        count += Walk(subfolder);
    return count;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_scan <label> <root folder> <find -type d ms>\n");
        return 2;
    }
    const std::wstring label = argv[1];
    const std::wstring root = argv[2];
    const double findMs = std::wcstod(argv[3], nullptr);

    std::vector<double> walkMs, scanMs;
    long folders = 0;
    for (int run = 0; run < kRuns; ++run) {
        double start = NowMs();
        folders = Walk(root);
        walkMs.push_back(NowMs() - start);

        start = NowMs();
        std::wstring list = clsFileSystem().GetAllSubdirectories(root);
        scanMs.push_back(NowMs() - start);
        long listed = static_cast<long>(std::count(list.begin(), list.end(), L';'));
        if (listed != folders) {
            std::fprintf(stderr, "scan listed %ld folders, the walk %ld\n", listed, folders);
            return 1;
        }
    }

    const double walk = Median(walkMs), scan = Median(scanMs);
    std::printf("%ls: %ld folders (median of %d runs)\n", label.c_str(), folders, kRuns);
    std::printf("  find -type d            %9.1f ms\n", findMs);
    std::printf("  FindFirstFileW walk     %9.1f ms  %6.1fx find\n", walk, walk / findMs);
    std::printf("  GetAllSubdirectories    %9.1f ms  %6.1fx find  %5.2fx walk  %6.1f us per folder\n", scan,
                scan / findMs, scan / walk, 1000.0 * scan / static_cast<double>(folders));
    return 0;
}
