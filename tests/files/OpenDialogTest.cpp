#include <windows.h>

#include "TestSupport.h"
#include "files/MFile.h"

namespace {

std::wstring FilterOf(const OPENFILENAMEW& record) {
    // Up to and including the double NUL at the end.
    std::wstring filter;
    const wchar_t* p = record.lpstrFilter;
    while (p[0] || p[1])
        filter += *p++;
    return filter + L'\0';
}

class OpenDialogTest : public testing::Test {
protected:
    void TearDown() override { SetOpenDialogHook({}); }
};

}  // namespace

TEST(BuildFilter, TurnsBarsIntoNuls) {
    struct Case {
        std::wstring input;
        std::wstring expected;  // without the string's own terminating NUL
    } cases[] = {
        {L"Backup files BAK|*.BAK", std::wstring(L"Backup files BAK\0*.BAK\0", 23)},
        {L"no bar", std::wstring(L"no bar\0", 7)},
        {L"", std::wstring(L"\0", 1)},
        {L"a||b", std::wstring(L"a\0\0b\0", 5)},
    };
    for (const auto& c : cases) {
        BuildFilter(c.input);
        const wchar_t* stored = OpenDialogRecord().lpstrFilter;
        EXPECT_EQ(std::wstring(stored, c.expected.size()), c.expected) << c.input;
        EXPECT_EQ(stored[c.expected.size()], L'\0') << "the final NUL of the double-NUL end";
    }
}

TEST_F(OpenDialogTest, HandsTheDialogItsRecordAndReturnsTheChosenPath) {
    OPENFILENAMEW seen{};
    std::wstring initialFile;
    SetOpenDialogHook([&](OPENFILENAMEW& record) {
        seen = record;
        initialFile.assign(record.lpstrFile, record.nMaxFile);
        wcscpy_s(record.lpstrFile, record.nMaxFile, L"C:\\sets\\Tarnwick_2026.12.06.BAK");
        return TRUE;
    });
    EXPECT_EQ(ShowOpenDialog(L"Open", L"Backup files BAK|*.BAK"), L"C:\\sets\\Tarnwick_2026.12.06.BAK");
    EXPECT_EQ(seen.lStructSize, OPENFILENAME_SIZE_VERSION_400W);
    EXPECT_EQ(seen.hwndOwner, nullptr);
    EXPECT_EQ(seen.hInstance, GetModuleHandleW(nullptr));
    EXPECT_EQ(std::wstring(seen.lpstrTitle), L"Open");
    EXPECT_EQ(FilterOf(seen), std::wstring(L"Backup files BAK\0*.BAK\0", 23));
    EXPECT_EQ(seen.nMaxFile, 260u);
    EXPECT_EQ(seen.Flags, static_cast<DWORD>(OFN_HIDEREADONLY));
    EXPECT_EQ(std::wstring(seen.lpstrDefExt), L"BAK");
    EXPECT_EQ(initialFile, L'\0' + std::wstring(259, L' '));
}

TEST_F(OpenDialogTest, CancelGivesEmptyTextAndFilterIndexIsKept) {
    SetOpenDialogHook([](OPENFILENAMEW& record) {
        record.nFilterIndex = 1;  // the dialog reports the filter that was in use
        return FALSE;
    });
    EXPECT_EQ(ShowOpenDialog(L"Open", L"Backup files BAK|*.BAK"), L"");
    DWORD indexSeen = 99;
    SetOpenDialogHook([&](OPENFILENAMEW& record) {
        indexSeen = record.nFilterIndex;
        return FALSE;
    });
    ShowOpenDialog(L"Open", L"Backup files BAK|*.BAK");
    EXPECT_EQ(indexSeen, 1u);
}

TEST_F(OpenDialogTest, StartsInTheFolderGivenAndGivesNothingWhenItFails) {
    std::wstring seenFolder;
    BOOL answer = TRUE;
    SetOpenDialogHook([&](OPENFILENAMEW& record) {
        seenFolder = record.lpstrInitialDir ? record.lpstrInitialDir : L"(none)";
        // As the dialog does on FNERR_BUFFERTOOSMALL: the size it needed in the buffer.
        record.lpstrFile[0] = static_cast<wchar_t>(400);
        record.lpstrFile[1] = 0;
        return answer;
    });
    EXPECT_EQ(ShowOpenDialog(L"Open", L"Backup files BAK|*.BAK", L"C:\\sets"), std::wstring(1, wchar_t(400)));
    EXPECT_EQ(seenFolder, L"C:\\sets");
    answer = FALSE;
    EXPECT_EQ(ShowOpenDialog(L"Open", L"Backup files BAK|*.BAK"), L"");
    EXPECT_EQ(seenFolder, L"(none)");
}
