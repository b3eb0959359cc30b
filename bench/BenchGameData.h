#pragma once
// What the backup and restore benchmarks share: a generated game data tree, the two
// plain copies they are measured against (a CreateDirectoryW/CopyFileW loop, and the
// shell's folder copy alone with the flags the program uses), clean-up, checks, timing,
// and the guard that stops a run the moment the program would wait for a person.
//
// A game data root holds "saves", "maps", "scores" and "tarnwick.cfg", as the game
// folder and a backup set do.

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "engine/GameLayout.h"
#include "files/DirSearch.h"
#include "files/TreeCompare.h"
#include "runtime/AppError.h"
#include "runtime/EndProgram.h"
#include "runtime/Handles.h"
#include "runtime/MsgBox.h"

namespace bench {

// Nobody answers a message box during a benchmark: any box is a failure of the run.
inline void FailOnAnyMessageBox() {
    SetMsgBoxHook([](const MsgBoxCall& call) -> MsgResult { Fail(L"unexpected message box: " + call.text); });
    SetEndProgramHook([] { Fail(L"the program ended itself"); });
}

// ---- the generated tree ----------------------------------------------------------

struct TreeSize {
    long files = 0;
    long folders = 0;
    std::uint64_t bytes = 0;
};

// Deterministic, varied content, so no file system can share blocks between files.
inline void FillPattern(std::vector<char>& buffer, std::uint32_t seed) {
    std::uint32_t x = seed * 2654435761u + 1;
    for (char& c : buffer) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        c = static_cast<char>(x);
    }
}

inline void WriteFileOf(const std::wstring& path, std::size_t bytes, std::uint32_t seed, TreeSize& size) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        Fail(L"cannot create " + path);
    const std::size_t chunk = 1 << 20;
    std::vector<char> buffer(std::min(bytes, chunk));
    for (std::size_t written = 0; written < bytes; written += buffer.size()) {
        buffer.resize(std::min(chunk, bytes - written));
        FillPattern(buffer, seed + static_cast<std::uint32_t>(written / chunk));
        DWORD done = 0;
        if (!WriteFile(file.Get(), buffer.data(), static_cast<DWORD>(buffer.size()), &done, nullptr) ||
            done != buffer.size())
            Fail(L"cannot write " + path);
    }
    ++size.files;
    size.bytes += bytes;
}

inline void MakeFolder(const std::wstring& path, TreeSize& size) {
    if (!CreateDirectoryW(path.c_str(), nullptr))
        Fail(L"cannot create folder " + path);
    ++size.folders;
}

// One game folder: `groups` x 5 sub-folders x 30 small files (0.5 to 16 KiB).
inline void MakeSmallFiles(const std::wstring& folder, const wchar_t* group, const wchar_t* part,
                           const wchar_t* stem, const wchar_t* extension, int groups, TreeSize& size) {
    for (int g = 1; g <= groups; ++g) {
        std::wstring groupFolder = folder + L"\\" + group + L" " + std::to_wstring(g);
        MakeFolder(groupFolder, size);
        for (int p = 1; p <= 5; ++p) {
            std::wstring partFolder = groupFolder + L"\\" + part + L" " + std::to_wstring(p);
            MakeFolder(partFolder, size);
            for (int f = 1; f <= 30; ++f) {
                auto seed = static_cast<std::uint32_t>(size.files);
                std::size_t bytes = 512 + (seed * 7919u) % (16 * 1024);
                std::wstring name = std::wstring(stem) + L" " + std::to_wstring(f) + extension;
                WriteFileOf(partFolder + L"\\" + name, bytes, seed, size);
            }
        }
    }
}

// The root must not exist yet; its parent must. About 3000 small files in nested folders,
// three files of 32 MiB in "maps", and the configuration file.
inline TreeSize MakeGameData(const std::wstring& root) {
    TreeSize size;
    MakeFolder(root, size);
    MakeFolder(root + L"\\saves", size);
    MakeFolder(root + L"\\maps", size);
    MakeFolder(root + L"\\scores", size);
    MakeSmallFiles(root + L"\\saves", L"slot", L"chapter", L"save", L".sav", 10, size);
    MakeSmallFiles(root + L"\\maps", L"region", L"area", L"tile", L".map", 6, size);
    MakeSmallFiles(root + L"\\scores", L"season", L"week", L"round", L".scr", 4, size);
    for (std::uint32_t w = 1; w <= 3; ++w)
        WriteFileOf(root + L"\\maps\\world " + std::to_wstring(w) + L".map", 32u << 20, 100000 + w * 1000, size);
    WriteFileOf(root + L"\\" + game::ConfigName, 64, 7, size);
    return size;
}

inline std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        Fail(L"missing " + path);
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline void CountTree(const std::wstring& folder, TreeSize& size) {
    DirSearch search(folder + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (entry.IsDotEntry())
            continue;
        if (entry.IsFolder()) {
            ++size.folders;
            CountTree(folder + L"\\" + entry.name, size);
        } else {
            ++size.files;
            size.bytes += entry.size;
        }
    }
}

// What a copy of the root's game data moves: the three folders and the configuration file.
inline TreeSize GameDataSize(const std::wstring& root) {
    TreeSize size;
    for (const wchar_t* name : game::FolderNames) {
        ++size.folders;
        CountTree(root + L"\\" + name, size);
    }
    ++size.files;
    size.bytes += FileSize(root + L"\\" + game::ConfigName);
    return size;
}

// ---- the baselines ---------------------------------------------------------------

inline void CopyConfigFile(const std::wstring& fromRoot, const std::wstring& toRoot) {
    std::wstring from = fromRoot + L"\\" + game::ConfigName;
    std::wstring to = toRoot + L"\\" + game::ConfigName;
    if (!CopyFileW(from.c_str(), to.c_str(), FALSE))
        Fail(L"CopyFileW failed on " + from);
}

inline void CopyGameDataLoop(const std::wstring& fromRoot, const std::wstring& toRoot) {
    for (const wchar_t* name : game::FolderNames)
        CopyTreeLoop(fromRoot + L"\\" + name, toRoot + L"\\" + name);
    CopyConfigFile(fromRoot, toRoot);
}

// What the program's folder copies come down to: one shell copy per folder into the
// destination root, with the program's flags, and the configuration file on its own.
inline void ShellCopyGameData(const std::wstring& fromRoot, const std::wstring& toRoot) {
    for (const wchar_t* name : game::FolderNames) {
        std::wstring from = fromRoot + L"\\" + name + L'\0';
        std::wstring to = toRoot + L'\0';
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_COPY;
        op.pFrom = from.c_str();
        op.pTo = to.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
        if (SHFileOperationW(&op) != 0 || op.fAnyOperationsAborted)
            Fail(L"SHFileOperationW failed on " + fromRoot + L"\\" + name);
    }
    CopyConfigFile(fromRoot, toRoot);
}

// ---- checks and clean-up ---------------------------------------------------------


// Every copy is checked (outside the timing), so no method wins by copying less. The
// folders are compared as the engine compares its copies; returns the milliseconds of
// that comparison.
inline double ExpectGameDataCopied(const std::wstring& fromRoot, const std::wstring& toRoot) {
    const double start = NowMs();
    for (const wchar_t* name : game::FolderNames) {
        std::wstring difference = FirstDifference(fromRoot + L"\\" + name, toRoot + L"\\" + name);
        if (!difference.empty())
            Fail(L"copy not whole at " + difference);
    }
    const double elapsed = NowMs() - start;
    std::wstring config = L"\\" + std::wstring(game::ConfigName);
    if (FileSize(fromRoot + config) != FileSize(toRoot + config))
        Fail(L"configuration file differs in " + toRoot);
    return elapsed;
}

inline void RemoveTree(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileW(path.c_str()))
            Fail(L"cannot delete " + path);
        return;
    }
    {
        DirSearch search(path + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        for (DirEntry entry; search.Next(entry);) {
            if (!entry.IsDotEntry())
                RemoveTree(path + L"\\" + entry.name);
        }
    }
    if (!RemoveDirectoryW(path.c_str()))
        Fail(L"cannot remove folder " + path);
}

// Leaves the root itself in place, empty of game data.
inline void RemoveGameData(const std::wstring& root) {
    for (const wchar_t* name : game::FolderNames)
        RemoveTree(root + L"\\" + name);
    RemoveTree(root + L"\\" + game::ConfigName);
}

inline void MakeEmptyFolder(const std::wstring& path) {
    RemoveTree(path);
    if (!CreateDirectoryW(path.c_str(), nullptr))
        Fail(L"cannot create folder " + path);
}

// ---- rounds and the table ---------------------------------------------------------
//
// The calling script runs `cp -r` and one round of this program in turn, kRuns times, so
// that the Linux baseline sees the same machine load as the Wine measurements beside it,
// and then hands every figure back for the table:
//   <program> prepare <scratch folder>
//   <program> round <scratch folder> <round number>   prints "loop shell engine check" in ms
//   <program> report <scratch folder> <cp ms> x kRuns <loop ms> x kRuns ... <check ms> x kRuns

struct Timings {
    std::vector<double> cp, loop, shell, engine;
    // The engine's completeness check of its three copies, timed again on its own right
    // after each engine run: the larger part of what the program adds to the shell's copy.
    std::vector<double> check;
};

// One benchmark: how it makes its data, and its three measurements, each returning its
// milliseconds (the engine also the milliseconds of its check timed alone).
struct BenchProgram {
    const char* name;
    const wchar_t* title;
    std::function<void(const std::wstring& scratch)> prepare;
    std::function<TreeSize(const std::wstring& scratch)> dataSize;
    std::function<double(const std::wstring& scratch)> loop;
    std::function<double(const std::wstring& scratch)> shell;
    std::function<double(const std::wstring& scratch, double& checkMs)> engine;
};

inline void PrintRow(const char* name, const std::vector<double>& runs, double cp, double loop) {
    const double median = Median(runs);
    const auto [low, high] = std::minmax_element(runs.begin(), runs.end());
    std::printf("  %-24s %9.1f %9.2f %11.2f   %.0f-%.0f\n", name, median, median / cp, median / loop, *low, *high);
}

inline void PrintTable(const wchar_t* title, const TreeSize& size, const Timings& t) {
    const double cp = Median(t.cp), loop = Median(t.loop), shell = Median(t.shell), engine = Median(t.engine);
    std::printf("%ls: %ld files, %ld folders, %.0f MiB (median of %d runs)\n", title, size.files, size.folders,
                static_cast<double>(size.bytes) / (1 << 20), kRuns);
    std::printf("  %-24s %9s %9s %11s   %s\n", "", "ms", "x cp -r", "x CopyFileW", "runs (ms)");
    PrintRow("cp -r (Linux)", t.cp, cp, loop);
    PrintRow("CopyFileW loop (Wine)", t.loop, cp, loop);
    PrintRow("shell copy alone (Wine)", t.shell, cp, loop);
    PrintRow("whole engine (Wine)", t.engine, cp, loop);
    // Shell copy and engine ran next to each other in each round: their paired share
    // suffers less from a load that changes between rounds than the share of the medians.
    std::vector<double> shares;
    for (std::size_t run = 0; run < t.engine.size(); ++run)
        shares.push_back(100.0 * (t.engine[run] - t.shell[run]) / t.engine[run]);
    std::printf("  program's share over the shell copy alone, (engine - shell) / engine:\n");
    std::printf("    of the medians   %6.1f%% (%.1f ms of %.1f ms)\n", 100.0 * (engine - shell) / engine,
                engine - shell, engine);
    std::printf("    round by round   %6.1f%% median, rounds", Median(shares));
    for (double share : shares)
        std::printf(" %.1f%%", share);
    std::printf("\n");
    const double check = Median(t.check);
    std::printf("    its completeness check, timed alone: %.1f ms, %.1f%% of the engine\n", check,
                100.0 * check / engine);
    std::fflush(stdout);
}

// The order of the three measurements turns from round to round, so that no method always
// finds the caches in the state its predecessor left.
inline void RunRound(const BenchProgram& program, const std::wstring& scratch, int round) {
    FailOnAnyMessageBox();
    double loop = 0, shell = 0, engine = 0, check = 0;
    for (int k = 0; k < 3; ++k) {
        switch ((round + k) % 3) {
        case 0: loop = program.loop(scratch); break;
        case 1: shell = program.shell(scratch); break;
        default: engine = program.engine(scratch, check); break;
        }
    }
    std::printf("%.1f %.1f %.1f %.1f\n", loop, shell, engine, check);
    std::fflush(stdout);
}

inline double Milliseconds(const std::wstring& text) {
    wchar_t* end = nullptr;
    double value = std::wcstod(text.c_str(), &end);
    if (end == text.c_str() || *end != L'\0' || value < 0)
        Fail(L"not a time in milliseconds: " + text);
    return value;
}

inline int RoundNumber(const std::wstring& text) {
    wchar_t* end = nullptr;
    long value = std::wcstol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != L'\0' || value < 0)
        Fail(L"not a round number: " + text);
    return static_cast<int>(value);
}

// Five groups of kRuns figures: cp, loop, shell, engine, check.
inline Timings TimingsFrom(const std::vector<std::wstring>& texts) {
    Timings t;
    std::vector<double>* groups[] = {&t.cp, &t.loop, &t.shell, &t.engine, &t.check};
    for (std::size_t i = 0; i < texts.size(); ++i)
        groups[i / kRuns]->push_back(Milliseconds(texts[i]));
    return t;
}

// The program's wide command line.
inline std::vector<std::wstring> Arguments() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    std::vector<std::wstring> arguments(argv, argv + argc);
    LocalFree(argv);
    return arguments;
}

inline int RunBenchProgram(const BenchProgram& program) {
    const std::vector<std::wstring> args = Arguments();
    const std::wstring mode = args.size() >= 3 ? args[1] : L"";
    try {
        if (mode == L"prepare" && args.size() == 3) {
            program.prepare(args[2]);
            return 0;
        }
        if (mode == L"round" && args.size() == 4) {
            RunRound(program, args[2], RoundNumber(args[3]));
            return 0;
        }
        if (mode == L"report" && args.size() == 3 + 5 * kRuns) {
            PrintTable(program.title, program.dataSize(args[2]), TimingsFrom({args.begin() + 3, args.end()}));
            return 0;
        }
    } catch (const AppError& error) {
        Fail(L"error " + std::to_wstring(error.Number()) + L": " + error.Description());
    }
    std::fprintf(stderr,
                 "usage: %s prepare <scratch folder>\n"
                 "       %s round <scratch folder> <round number>\n"
                 "       %s report <scratch folder> <cp, loop, shell, engine, check ms, %d of each>\n",
                 program.name, program.name, program.name, kRuns);
    return 2;
}

}  // namespace bench
