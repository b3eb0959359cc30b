// Benchmark of the folder copy, not a test: copies one tree with CopyFolder and with a
// plain CopyFileW loop (the platform's floor for a Win32 program), times the completeness
// check on its own, and prints the ratios against the `cp -r` time measured beside it.
//
// Usage: bench_copyfolder <label> <source folder> <scratch folder> <cp -r milliseconds>

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "files/DirSearch.h"
#include "files/MFile.h"
#include "files/TreeCompare.h"

using bench::kRuns;
using bench::Median;
using bench::NowMs;

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_copyfolder <label> <source folder> <scratch folder> <cp -r ms>\n");
        return 2;
    }
    const std::wstring label = argv[1];
    const std::wstring source = argv[2];
    const std::wstring scratch = argv[3];
    const double cpMs = std::wcstod(argv[4], nullptr);

    std::vector<double> loopMs, shellMs, checkMs;
    for (int run = 0; run < kRuns; ++run) {
        const std::wstring loopTarget = scratch + L"\\loop" + std::to_wstring(run);
        double start = NowMs();
        bench::CopyTreeLoop(source, loopTarget);
        loopMs.push_back(NowMs() - start);

        const std::wstring shellTarget = scratch + L"\\shell" + std::to_wstring(run);
        CreateDirectoryW(shellTarget.c_str(), nullptr);
        start = NowMs();
        CopyFolderResult result = CopyFolder(source, shellTarget);
        shellMs.push_back(NowMs() - start);
        if (!result.whole) {
            std::fprintf(stderr, "CopyFolder not whole at %ls\n", result.firstDifference.c_str());
            return 1;
        }

        // The check again on its own, on the trees just copied: its share of the copy.
        const std::wstring copied = shellTarget + source.substr(source.find_last_of(L'\\'));
        start = NowMs();
        std::wstring difference = FirstDifference(source, copied);
        checkMs.push_back(NowMs() - start);
        if (!difference.empty()) {
            std::fprintf(stderr, "check differs at %ls\n", difference.c_str());
            return 1;
        }
    }

    const double loop = Median(loopMs), shell = Median(shellMs), check = Median(checkMs);
    std::printf("%ls (median of %d runs)\n", label.c_str(), kRuns);
    std::printf("  cp -r           %9.1f ms\n", cpMs);
    std::printf("  CopyFileW loop  %9.1f ms  %6.1fx cp -r\n", loop, loop / cpMs);
    std::printf("  CopyFolder      %9.1f ms  %6.1fx cp -r  %5.2fx CopyFileW loop\n", shell, shell / cpMs,
                shell / loop);
    std::printf("    its check     %9.1f ms  %6.1f%% of CopyFolder\n", check, 100.0 * check / shell);
    return 0;
}
