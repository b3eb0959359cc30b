#pragma once
// What the backup and restore benchmarks share: a generated game data tree and the
// earlier data a job finds in place, the copies a job is measured against (the bare
// shell copies, with the program's flags, and a CreateDirectoryW/CopyFileW loop), checks,
// clean-up, the rounds and their table, the timing of a job's phases, and the guard that
// stops a run the moment anything would wait for a person.
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
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BenchCommon.h"
#include "engine/game/GameLayout.h"
#include "engine/jobs/JobEvents.h"
#include "engine/jobs/QuietJobEvents.h"
#include "files/DirSearch.h"
#include "files/FileCopier.h"
#include "files/FileOps.h"
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

// A job's caller that does nothing at any of the job's events.
using QuietEvents = QuietJobEvents;

// A job's caller that times the job's activities from its progress reports: where the
// job's own time goes, measured on the job itself.
class ActivityClock final : public JobEvents {
public:
    ActivityClock() : last_(NowMs()) {}
    void Checkpoint() override {}
    void YieldPoint() override {}
    void Progress(const JobProgress& progress) override {
        if (!current_ || *current_ != progress.activity)
            Lap(Name(progress.activity));
        current_ = progress.activity;
    }
    void FoldersCopied(const JobReport&) override {}
    void Finished(const JobReport&) override { Lap(current_ ? "" : "before the listing"); }

    // Each activity with its milliseconds (the steps between two activities count to the
    // one before); the time before the first is "checks and journal".
    std::vector<std::pair<std::string, double>> Laps() const {
        std::vector<std::pair<std::string, double>> laps;
        for (const auto& [name, ms] : totals_)
            laps.emplace_back(name, ms);
        return laps;
    }

private:
    static std::string Name(JobActivity activity) {
        switch (activity) {
        case JobActivity::Counting: return "listing and comparing (the plan)";
        case JobActivity::Copying: return "copying what differs, hashed in the same pass";
        case JobActivity::Flushing: return "waiting for the last flushes";
        case JobActivity::Placing: return "manifest, marker, safety set; swapping into place";
        case JobActivity::Finishing: return "removing what was replaced (and old safety sets)";
        case JobActivity::Undoing: return "undoing";
        }
        return "";
    }
    void Lap(const std::string& next) {
        const double now = NowMs();
        std::string name = current_ ? Name(*current_) : "checks, putting right, journal";
        auto found = std::find_if(totals_.begin(), totals_.end(), [&](const auto& t) { return t.first == name; });
        if (found == totals_.end())
            totals_.emplace_back(name, now - last_);
        else
            found->second += now - last_;
        last_ = now;
        (void)next;
    }

    std::optional<JobActivity> current_;
    double last_;
    std::vector<std::pair<std::string, double>> totals_;
};

// A copy engine's caller that watches nothing and never stops the copy.
class QuietCopyObserver final : public CopyObserver {
public:
    void Progressed(const CopyProgress&) override {}
    bool StopRequested() override { return false; }
};

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

// The root must not exist yet; its parent must. 3000 small files in nested folders,
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

// The data a job finds in place, made from `like` (the other side's data): a copy of it
// in which 30 score files are older versions of other sizes and the configuration file
// differs, plus 30 saves in a slot that `like` lacks (which a copy over it leaves in
// place, and a job keeps).
inline void MakeEarlierData(const std::wstring& like, const std::wstring& root);

// ---- counting ----------------------------------------------------------------------

inline std::uint64_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        Fail(L"missing " + path);
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

inline bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

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

// The names of the sub-folders of a folder, sorted.
inline std::vector<std::wstring> SubFolders(const std::wstring& folder) {
    std::vector<std::wstring> names;
    DirSearch search(folder + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsDotEntry() && entry.IsFolder())
            names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
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

// One folder copied by the shell into an existing folder, with the program's flags.
inline void ShellCopyFolder(const std::wstring& folder, const std::wstring& into) {
    std::wstring from = folder + L'\0';
    std::wstring to = into + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR;
    if (SHFileOperationW(&op) != 0 || op.fAnyOperationsAborted)
        Fail(L"SHFileOperationW failed on " + folder);
}

// The bare shell copies: one shell copy per folder into the destination root, and the
// configuration file with CopyFileW.
inline void ShellCopyGameData(const std::wstring& fromRoot, const std::wstring& toRoot) {
    for (const wchar_t* name : game::FolderNames)
        ShellCopyFolder(fromRoot + L"\\" + name, toRoot);
    CopyConfigFile(fromRoot, toRoot);
}

inline void MakeEarlierData(const std::wstring& like, const std::wstring& root) {
    if (!CreateDirectoryW(root.c_str(), nullptr))
        Fail(L"cannot create folder " + root);
    CopyGameDataLoop(like, root);
    TreeSize size;
    const std::wstring week = root + L"\\scores\\season 1\\week 1";
    for (int f = 1; f <= 30; ++f)
        WriteFileOf(week + L"\\round " + std::to_wstring(f) + L".scr", 300 + 11 * f, 500 + f, size);
    WriteFileOf(root + L"\\" + game::ConfigName, 48, 9, size);
    const std::wstring slot = root + L"\\saves\\slot 0";
    MakeFolder(slot, size);
    for (int f = 1; f <= 30; ++f)
        WriteFileOf(slot + L"\\save " + std::to_wstring(f) + L".sav", 2048 + 97 * f, 900 + f, size);
}

// ---- checks and clean-up ---------------------------------------------------------

// Names, sizes and last-write times of every file of fromRoot's game data in toRoot, as
// the engine compares its copies (extra entries in toRoot are fine).
inline void ExpectGameDataCopied(const std::wstring& fromRoot, const std::wstring& toRoot) {
    for (const wchar_t* name : game::FolderNames) {
        std::wstring difference = FirstDifference(fromRoot + L"\\" + name, toRoot + L"\\" + name);
        if (!difference.empty())
            Fail(L"copy not whole at " + difference);
    }
    std::wstring config = L"\\" + std::wstring(game::ConfigName);
    if (FileSize(fromRoot + config) != FileSize(toRoot + config))
        Fail(L"configuration file differs in " + toRoot);
}

inline void ExpectSameFileBytes(const std::wstring& a, const std::wstring& b) {
    FileHandle fa(CreateFileW(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    FileHandle fb(CreateFileW(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!fa || !fb)
        Fail(L"cannot open " + (fa ? b : a));
    static std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        DWORD ra = 0, rb = 0;
        if (!ReadFile(fa.Get(), ba.data(), static_cast<DWORD>(ba.size()), &ra, nullptr) ||
            !ReadFile(fb.Get(), bb.data(), static_cast<DWORD>(bb.size()), &rb, nullptr))
            Fail(L"cannot read " + a + L" or " + b);
        if (ra != rb || !std::equal(ba.begin(), ba.begin() + ra, bb.begin()))
            Fail(L"content differs: " + b);
        if (ra == 0)
            return;
    }
}

inline void ExpectSameTreeBytes(const std::wstring& from, const std::wstring& to) {
    DirSearch search(from + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (entry.IsDotEntry())
            continue;
        if (entry.IsFolder())
            ExpectSameTreeBytes(from + L"\\" + entry.name, to + L"\\" + entry.name);
        else
            ExpectSameFileBytes(from + L"\\" + entry.name, to + L"\\" + entry.name);
    }
}

// toRoot holds fromRoot's game data byte for byte (names, sizes, times and content), and
// still every name of keptRoot's game data (the earlier files the new data lacks).
inline void ExpectMergedData(const std::wstring& fromRoot, const std::wstring& keptRoot, const std::wstring& toRoot) {
    ExpectGameDataCopied(fromRoot, toRoot);
    for (const wchar_t* name : game::FolderNames) {
        ExpectSameTreeBytes(fromRoot + L"\\" + name, toRoot + L"\\" + name);
        std::vector<std::wstring> lost =
            TreeDifferences(keptRoot + L"\\" + name, toRoot + L"\\" + name, 1, Compare::Presence);
        if (!lost.empty())
            Fail(L"an earlier file was not kept: " + keptRoot + L"\\" + name + L"\\" + lost.front());
    }
    ExpectSameFileBytes(fromRoot + L"\\" + game::ConfigName, toRoot + L"\\" + game::ConfigName);
}

inline void RemoveTree(const std::wstring& path) {
    if (FileResult removed = DeleteTree(path); !removed.Ok())
        Fail(L"cannot remove " + removed.path);
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

// The folder exists (made when missing) and holds nothing; the folder itself stays, so
// that it may be the mount point of a RAM disk.
inline void EmptyFolder(const std::wstring& path) {
    if (FileResult made = MakeFolderPath(path); !made.Ok())
        Fail(L"cannot create folder " + path);
    std::vector<std::wstring> names;
    DirSearch search(path + L"\\", FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    for (DirEntry entry; search.Next(entry);) {
        if (!entry.IsDotEntry())
            names.push_back(entry.name);
    }
    for (const std::wstring& name : names)
        RemoveTree(path + L"\\" + name);
}

// ---- rounds and the table ---------------------------------------------------------
//
// The calling script runs `cp -r` and one round of this program in turn, so that the
// Linux baseline sees the same machine load as the Wine measurements beside it, and then
// hands every figure back for the table:
//   <program> prepare <scratch folder>
//   <program> round <scratch folder> <round number> <safety sets>
//                  prints "loop shell job" in ms
//   <program> phases <scratch folder> <safety sets>
//                  prints where the job's time goes
//   <program> report <scratch folder> <safety sets> <cp ms> x R <loop ms> x R <shell ms> x R <job ms> x R
// <safety sets> is the number of safety sets a restore finds beside the game folder; the
// backup takes 0.

// Each measurement prepares the earlier state, times its copy, checks the outcome and
// cleans up; only the copy is timed.
struct BenchProgram {
    const char* name;
    const wchar_t* title;
    std::function<void(const std::wstring& scratch)> prepare;
    std::function<TreeSize(const std::wstring& scratch)> dataSize;
    std::function<double(const std::wstring& scratch, int safetySets)> loop;
    std::function<double(const std::wstring& scratch, int safetySets)> shell;
    std::function<double(const std::wstring& scratch, int safetySets)> job;
    // One timed run of the job's phases one by one on the prepared earlier state, in the
    // job's order, each with its milliseconds.
    std::function<std::vector<std::pair<std::string, double>>(const std::wstring& scratch, int safetySets)> phases;
    // The title's addition for a number of safety sets ("" for the backup).
    std::function<std::wstring(int safetySets)> setsNote;
};

struct Timings {
    std::vector<double> cp, loop, shell, job;
};

inline const double kGoal = 1.15;

inline void PrintRow(const char* name, const std::vector<double>& runs, double shell) {
    std::printf("  %-26s %9.1f %9.2f  ", name, Median(runs), Median(runs) / shell);
    for (double run : runs)
        std::printf(" %8.1f", run);
    std::printf("\n");
}

inline void PrintTable(const std::wstring& title, const TreeSize& size, const Timings& t) {
    const double shell = Median(t.shell), job = Median(t.job);
    std::printf("%ls\n  %ld files, %ld folders, %.0f MiB; median of %zu rounds\n", title.c_str(), size.files,
                size.folders, static_cast<double>(size.bytes) / (1 << 20), t.job.size());
    std::printf("  %-26s %9s %9s   %s\n", "", "median ms", "x shell", "rounds (ms)");
    PrintRow("cp -r (Linux)", t.cp, shell);
    PrintRow("CopyFileW loop (Wine)", t.loop, shell);
    PrintRow("bare shell copies (Wine)", t.shell, shell);
    PrintRow("whole job (Wine)", t.job, shell);
    // The shell copies and the job ran next to each other in each round: their paired
    // ratio suffers less from a load that changes between rounds than that of the medians.
    std::vector<double> ratios;
    for (std::size_t run = 0; run < t.job.size(); ++run)
        ratios.push_back(t.job[run] / t.shell[run]);
    std::printf("  job / bare shell copies: %.2f of the medians, %.2f median of the rounds (", job / shell,
                Median(ratios));
    for (std::size_t run = 0; run < ratios.size(); ++run)
        std::printf("%s%.2f", run ? " " : "", ratios[run]);
    std::printf("); goal %.2f: %s\n", kGoal, Median(ratios) <= kGoal ? "within" : "over");
    std::fflush(stdout);
}

// The shell copies and the job take turns at going first; the CopyFileW loop comes last.
inline void RunRound(const BenchProgram& program, const std::wstring& scratch, int round, int safetySets) {
    FailOnAnyMessageBox();
    double shell = 0, job = 0;
    if (round % 2 == 0) {
        shell = program.shell(scratch, safetySets);
        job = program.job(scratch, safetySets);
    } else {
        job = program.job(scratch, safetySets);
        shell = program.shell(scratch, safetySets);
    }
    double loop = program.loop(scratch, safetySets);
    std::printf("%.1f %.1f %.1f\n", loop, shell, job);
    std::fflush(stdout);
}

inline const int kPhaseRuns = 3;

// kPhaseRuns runs of the job's phases, each beside a whole job and the bare shell copies
// on the same prepared state; prints the medians.
inline void RunPhases(const BenchProgram& program, const std::wstring& scratch, int safetySets) {
    FailOnAnyMessageBox();
    std::vector<std::string> names;
    std::vector<std::vector<double>> values;
    std::vector<double> sums, jobs, shells;
    for (int run = 0; run < kPhaseRuns; ++run) {
        shells.push_back(program.shell(scratch, safetySets));
        jobs.push_back(program.job(scratch, safetySets));
        std::vector<std::pair<std::string, double>> phases = program.phases(scratch, safetySets);
        double sum = 0;
        for (std::size_t i = 0; i < phases.size(); ++i) {
            if (run == 0) {
                names.push_back(phases[i].first);
                values.emplace_back();
            }
            values[i].push_back(phases[i].second);
            sum += phases[i].second;
        }
        sums.push_back(sum);
    }
    const double shell = Median(shells);
    std::printf("Where the job's time goes%ls (median of %d runs; x shell = share of the bare shell copies)\n",
                program.setsNote(safetySets).c_str(), kPhaseRuns);
    std::printf("  %-58s %9s %8s\n", "", "ms", "x shell");
    for (std::size_t i = 0; i < names.size(); ++i)
        std::printf("  %-58s %9.1f %8.3f\n", names[i].c_str(), Median(values[i]), Median(values[i]) / shell);
    std::printf("  %-58s %9.1f %8.3f\n", "sum of the phases", Median(sums), Median(sums) / shell);
    std::printf("  %-58s %9.1f %8.3f\n", "whole job, same runs", Median(jobs), Median(jobs) / shell);
    std::printf("  %-58s %9.1f %8.3f\n", "bare shell copies into the earlier data, same runs", shell, 1.0);
    std::fflush(stdout);
}

// Times the phases of one job: Lap(name) closes the phase that ran since the last lap.
class PhaseClock {
public:
    PhaseClock() : last_(NowMs()) {}
    void Lap(std::string name) {
        const double now = NowMs();
        laps_.emplace_back(std::move(name), now - last_);
        last_ = NowMs();
    }
    // Leaves out what ran since the last lap (a check, say).
    void Skip() { last_ = NowMs(); }
    const std::vector<std::pair<std::string, double>>& Laps() const { return laps_; }

private:
    double last_;
    std::vector<std::pair<std::string, double>> laps_;
};

inline void Expect(bool condition, const std::wstring& what) {
    if (!condition)
        Fail(what);
}

inline double Milliseconds(const std::wstring& text) {
    wchar_t* end = nullptr;
    double value = std::wcstod(text.c_str(), &end);
    if (end == text.c_str() || *end != L'\0' || value < 0)
        Fail(L"not a time in milliseconds: " + text);
    return value;
}

inline int Count(const std::wstring& text) {
    wchar_t* end = nullptr;
    long value = std::wcstol(text.c_str(), &end, 10);
    if (end == text.c_str() || *end != L'\0' || value < 0)
        Fail(L"not a count: " + text);
    return static_cast<int>(value);
}

// Four groups of as many figures: cp, loop, shell, job.
inline Timings TimingsFrom(const std::vector<std::wstring>& texts) {
    if (texts.empty() || texts.size() % 4 != 0)
        Fail(L"the report needs four groups of figures of one size");
    Timings t;
    std::vector<double>* groups[] = {&t.cp, &t.loop, &t.shell, &t.job};
    const std::size_t rounds = texts.size() / 4;
    for (std::size_t i = 0; i < texts.size(); ++i)
        groups[i / rounds]->push_back(Milliseconds(texts[i]));
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
        if (mode == L"round" && args.size() == 5) {
            RunRound(program, args[2], Count(args[3]), Count(args[4]));
            return 0;
        }
        if (mode == L"phases" && args.size() == 4) {
            RunPhases(program, args[2], Count(args[3]));
            return 0;
        }
        if (mode == L"report" && args.size() > 4) {
            const int sets = Count(args[3]);
            PrintTable(program.title + program.setsNote(sets), program.dataSize(args[2]),
                       TimingsFrom({args.begin() + 4, args.end()}));
            return 0;
        }
    } catch (const AppError& error) {
        Fail(L"error " + std::to_wstring(error.Number()) + L": " + error.Description());
    }
    std::fprintf(stderr,
                 "usage: %s prepare <scratch folder>\n"
                 "       %s round <scratch folder> <round number> <safety sets>\n"
                 "       %s phases <scratch folder> <safety sets>\n"
                 "       %s report <scratch folder> <safety sets> <cp, loop, shell, job ms, as many of each>\n",
                 program.name, program.name, program.name, program.name);
    return 2;
}

}  // namespace bench
