// Benchmark of what a restore checks before it trusts a set, not a test: on a set of
// 4,032 files of 4 KiB (made by a backup of a game folder), times side by side
//   - the listing of the set as the restore walks it (LayeredListing, folder by folder),
//   - the checks: the manifest read and decoded strictly, every name of the listing
//     made a checked name (as the plan does), and the link bit of every entry,
//   - a whole restore of that set over equal data (nothing to copy: listing and checks
//     are most of it),
// and prints the checks' cost as a share of each.
//
// Usage: bench_setchecks <scratch folder>

#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "BenchCommon.h"
#include "engine/input/DataName.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/sets/SetManifest.h"
#include "engine/staging/LayeredListing.h"
#include "files/FileOps.h"

namespace {

using bench::Median;
using bench::NowMs;

// 3 data folders x 14 folders x 96 files: 4,032 files.
const int kFoldersPerTop = 14, kFilesPerFolder = 96, kRounds = 7;

void MakeGame(const std::wstring& game) {
    std::string content(4096, 'x');
    for (const wchar_t* top : {L"saves", L"maps", L"scores"}) {
        for (int f = 0; f < kFoldersPerTop; ++f) {
            std::wstring folder = game + L"\\" + top + L"\\area " + std::to_wstring(f);
            if (!MakeFolderPath(folder).Ok())
                bench::Fail(L"cannot make " + folder);
            for (int i = 0; i < kFilesPerFolder; ++i) {
                if (!WriteWholeFile(folder + L"\\slot " + std::to_wstring(i) + L".sav", content).Ok())
                    bench::Fail(L"cannot write in " + folder);
            }
        }
    }
}

// The set's names as the restore's walk finds them, below rel.
void Walk(const std::wstring& folder, const std::wstring& rel, std::vector<std::wstring>& names, size_t& links) {
    LayeredListing listing({folder});
    for (const LayeredEntry* entry : listing.Entries()) {
        std::wstring child = rel.empty() ? entry->entry.name : rel + L"\\" + entry->entry.name;
        links += (entry->entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT) ? 1 : 0;
        names.push_back(child);
        if (entry->entry.IsFolder())
            Walk(entry->folders.front(), child, names, links);
    }
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_setchecks <scratch folder>\n");
        return 2;
    }
    const std::wstring scratch = argv[1];
    const std::wstring game = scratch + L"\\game", set = scratch + L"\\set", journal = scratch + L"\\journal.txt";
    MakeGame(game);
    if (!MakeFolderPath(set).Ok())
        bench::Fail(L"cannot make " + set);
    QuietJobEvents quiet;
    if (!BackupJob(game, set, L"", journal).Run(quiet).Whole())
        bench::Fail(L"the backup that makes the set failed");

    std::vector<double> listingMs, manifestMs, namesMs, checksMs, restoreMs;
    size_t files = 0;
    for (int round = 0; round < kRounds; ++round) {
        std::vector<std::wstring> names;
        size_t links = 0;
        double start = NowMs();
        for (const wchar_t* top : {L"saves", L"maps", L"scores"})
            Walk(LongPath(set + L"\\" + top), top, names, links);
        listingMs.push_back(NowMs() - start);

        start = NowMs();
        SetManifest manifest;
        if (manifest.Read(set + L"\\" + SetManifest::FileName).state != ListRead::State::Read)
            bench::Fail(L"the set's manifest was refused");
        double read = NowMs();
        for (const std::wstring& name : names) {
            if (!DataName::Parse(name))
                bench::Fail(L"a name of the set was refused: " + name);
        }
        double end = NowMs();
        manifestMs.push_back(read - start);
        namesMs.push_back(end - read);
        checksMs.push_back(end - start);
        files = manifest.Size();

        start = NowMs();
        if (!RestoreJob(game, set, L"", journal).Run(quiet).Whole())
            bench::Fail(L"the restore failed");
        restoreMs.push_back(NowMs() - start);
    }
    const double listing = Median(listingMs), checks = Median(checksMs), restore = Median(restoreMs);
    std::printf("a set of %zu files of 4 KiB (median of %d rounds)\n", files, kRounds);
    std::printf("  listing the set as a restore walks it   %8.1f ms\n", listing);
    std::printf("  the checks (manifest, names, links)     %8.1f ms  %5.1f%% of the listing\n", checks,
                100.0 * checks / listing);
    std::printf("    of which the manifest read and decoded %8.1f ms\n", Median(manifestMs));
    std::printf("    of which every name made a checked one %8.1f ms\n", Median(namesMs));
    std::printf("  a restore over equal data               %8.1f ms  the checks %4.1f%% of it\n", restore,
                100.0 * checks / restore);
    return 0;
}
