// Dated sets in the order they were made, whatever the local clock did: the listing, the
// set a folder stands for and the sets kept must agree on the newest.

#include <windows.h>

#include "TestSupport.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/DatedSets.h"
#include "engine/sets/SafetySets.h"
#include "runtime/TextConv.h"

namespace {

struct Made {
    const wchar_t* name;
    const wchar_t* utc;  // the marker's Made_UTC; nullptr for a set of an earlier release
};

// A dated set as a backup leaves it, with the time of its making put as the case says.
void MakeDatedSet(const std::wstring& folder, const Made& made) {
    const std::wstring set = folder + L"\\" + made.name;
    MakeDirs(set + L"\\saves");
    WriteTextFile(set + L"\\saves\\game.sav", Narrow(made.name));
    const std::wstring marker = WriteMarker(set);
    WritePrivateProfileStringW(L"Backup", L"Made_UTC", made.utc, marker.c_str());
    WritePrivateProfileStringW(nullptr, nullptr, nullptr, marker.c_str());
}

TEST(DatedSetsTest, TheNewestIsTheLastMadeWhateverTheLocalClockSaid) {
    const struct {
        const char* name;
        std::vector<Made> sets;  // in the order made
    } cases[] = {
        {"the hour repeated in autumn",
         {{L"2026.10.25 02.50.00", L"2026-10-25T00:50:00Z"}, {L"2026.10.25 02.10.00", L"2026-10-25T01:10:00Z"}}},
        {"a jump west across time zones",
         {{L"2026.12.08 21.00.00", L"2026-12-08T20:00:00Z"}, {L"2026.12.08 15.30.00", L"2026-12-08T23:30:00Z"}}},
        {"two sets of the same local name",
         {{L"2026.10.25 02.10.00", L"2026-10-25T00:10:00Z"}, {L"2026.10.25 02.10.00 (2)", L"2026-10-25T01:10:00Z"}}},
        {"a set of an earlier release, then one that says when",
         {{L"2026.12.01 21.00.00", nullptr}, {L"2026.12.05 21.00.00", L"2026-12-05T20:00:00Z"}}},
        {"ten sets of one second",
         {{L"2026.12.08 21.00.00 (9)", L"2026-12-08T20:00:00Z"}, {L"2026.12.08 21.00.00 (10)", L"2026-12-08T20:00:00Z"}}},
        {"a time that cannot be stands at the name",
         {{L"2026.12.01 21.00.00", L"2026-13-01T20:00:00Z"}, {L"2026.12.02 21.00.00", L"2026-12-02T20:00:00Z"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir folder;
        for (const Made& made : c.sets)
            MakeDatedSet(folder.Path(), made);
        const std::wstring newest = folder / c.sets.back().name;
        std::vector<DatedSet> sets = DatedSets(folder.Path());
        ASSERT_EQ(sets.size(), c.sets.size());
        for (size_t i = 0; i < sets.size(); ++i)
            EXPECT_EQ(sets[i].name, c.sets[i].name);
        EXPECT_EQ(MarkerOfFolder(folder.Path()), MarkerPathToday(newest));
        // Keeping one beside a set just made leaves the newest of the others.
        ASSERT_TRUE(KeepNewestDatedSets(folder.Path(), 2, L"").Ok());
        sets = DatedSets(folder.Path());
        ASSERT_EQ(sets.size(), 1u);
        EXPECT_EQ(sets[0].folder, newest);
    }
}

TEST(DatedSetsTest, ASecondSetOfOneNameTakesTheNextNumber) {
    ScratchDir folder;
    const SYSTEMTIME now{2026, 10, 0, 25, 2, 10, 0, 0};
    std::wstring first, second;
    ASSERT_TRUE(MakeDatedSetFolder(folder.Path(), now, first).Ok());
    ASSERT_TRUE(MakeDatedSetFolder(folder.Path(), now, second).Ok());
    EXPECT_EQ(first, folder / L"2026.10.25 02.10.00");
    EXPECT_EQ(second, folder / L"2026.10.25 02.10.00 (2)");
    for (const wchar_t* name : {L"2026.10.25 02.10.00 (2)", L"2026.10.25 02.10.00 (99)"})
        EXPECT_TRUE(IsDatedSetName(name)) << Narrow(name);
    for (const wchar_t* name : {L"2026.10.25 02.10.00 (1)", L"2026.10.25 02.10.00 (02)", L"2026.10.25 02.10.00 (10000)",
                                L"2026.10.25 02.10.00 (x)", L"2026.10.25 02.10.00 (2", L"2026.10.25 02.10.00 "})
        EXPECT_FALSE(IsDatedSetName(name)) << Narrow(name);
}

// Eleven restores in one second: the newest safety sets are " (10)" and " (11)", which sort
// before " (9)" as text.
TEST(SafetySetsTest, PruningKeepsTheNewestOfOneSecondByNumber) {
    ScratchDir root;
    MakeDirs(root / L"2026.12.09 10.00.00");
    for (int n = 2; n <= 11; ++n)
        MakeDirs(root / (L"2026.12.09 10.00.00 (" + std::to_wstring(n) + L")"));
    PruneSafetySets(root.Path(), 5, L"");
    for (int n = 2; n <= 11; ++n)
        EXPECT_EQ(PathExists(root / (L"2026.12.09 10.00.00 (" + std::to_wstring(n) + L")")), n >= 7) << n;
    // The next of that second comes after them all, not into the gap the first one left.
    EXPECT_EQ(NewSafetySetFolder(root.Path(), SYSTEMTIME{2026, 12, 0, 9, 10, 0, 0, 0}), root / L"2026.12.09 10.00.00 (12)");
}

}  // namespace
