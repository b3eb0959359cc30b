#include "Scenarios.h"

#include <dlgs.h>

#include <functional>
#include <memory>

#include "BackupSet.h"
#include "E2eError.h"
#include "GameData.h"
#include "Log.h"
#include "Session.h"
#include "Wizard.h"
#include "runtime/Handles.h"
#include "runtime/TextConv.h"
#include "runtime/Clipboard.h"
#include "runtime/Texts.h"
#include "runtime/WineHost.h"
#include "schedule/DailySchedule.h"

namespace {

constexpr wchar_t kErrorCopyingFile[] = L"Error copying File";
constexpr wchar_t kEnterPath[] = L"Please enter a path into the Folder selection box";
constexpr wchar_t kSelectAFile[] = L"Please select a file";
constexpr DWORD kDialogPaintMs = 500;

std::wstring StepName(const Wizard& wizard, int step) {
    return std::wstring(wizard.Kind().name) + L"-step" + std::to_wstring(step);
}

HWND OpenMainMenu(Session& session) {
    HWND menu = session.WaitForTopWindow(L"the main menu", IsMainMenu);
    HWND backup = FindChild(menu, L"Button", std::wstring(kOptionBackup));
    HWND restore = FindChild(menu, L"Button", std::wstring(kOptionRestore));
    if (!backup || !restore)
        throw E2eError(L"the main menu lacks its two options");
    session.Wait(L"the backup option selected at start", [&] { return IsChecked(backup) && !IsChecked(restore); });
    session.Shot(L"main-menu", menu);
    return menu;
}

Wizard StartWizard(Session& session, HWND menu, const WizardKind& kind) {
    if (&kind == &kRestoreWizard) {
        HWND restore = FindChild(menu, L"Button", std::wstring(kOptionRestore));
        ClickRadio(restore);
        session.Wait(L"the restore option selected", [&] { return IsChecked(restore); });
        session.Shot(L"main-menu-restore-chosen", menu);
    }
    Click(FindChild(menu, L"Button", std::wstring(kStart)));
    HWND window = session.WaitForTopWindow(L"the " + std::wstring(kind.name) + L" wizard", IsWizardWindow);
    Wizard wizard(window, kind);
    session.Wait(L"the welcome panel", [&] { return wizard.Step() == 0 && !IsWindowVisible(menu); });
    wizard.ExpectButtons(false, true, false, true);
    session.Shot(StepName(wizard, 0), window);
    return wizard;
}

void Next(Session& session, const Wizard& wizard) {
    int target = wizard.Step() + 1;
    Click(wizard.Button(kNext));
    session.Wait(L"step " + std::to_wstring(target), [&] { return wizard.Step() == target; });
    session.Shot(StepName(wizard, target), wizard.Window());
}

// The program paints a step only when it next yields, and some steps last milliseconds or pass
// with no yield at all. The shot is taken once the program answers (it is yielding) and only if
// it still shows the step, so that no picture carries the wrong step's name.
void ShootRunningStep(Session& session, const Wizard& wizard, int step) {
    Settle(wizard.Window(), 0);
    if (wizard.Step() == step)
        session.Shot(StepName(wizard, step) + L"-running");
    else
        Log(L"step " + std::to_wstring(step) + L" passed before the program painted it: no screenshot");
}

// A hasty double click on Next: the wizard must check the step it lands on and show that
// check's message, never run past it.
void DoubleNext(Session& session, const Wizard& wizard, int target, const std::wstring& message) {
    session.ExpectMessage(message);
    ClickTwiceAtOnce(wizard.Button(kNext));
    session.Wait(L"step " + std::to_wstring(target) + L" after two clicks at once and the message \"" + message +
                     L"\"",
                 [&] { return session.AllExpectedShown() && wizard.Step() == target; });
    session.Shot(StepName(wizard, target) + L"-after-double-click", wizard.Window());
}

// Types a folder that step 2 must refuse with the message, keeping the folder in the box.
void RefusedFolder(Session& session, const Wizard& wizard, const std::wstring& folder, const std::wstring& message) {
    HWND folderBox = wizard.PanelControl(L"Edit");
    SetText(folderBox, folder);
    session.ExpectMessage(message);
    Click(wizard.Button(kNext));
    session.Wait(L"the refusal of " + folder, [&] { return session.AllExpectedShown(); });
    session.Wait(L"step 2 with the folder still in the box",
                 [&] { return wizard.Step() == 2 && EditText(folderBox) == folder; });
}

// After the Next that starts the engine: watches the wizard move on by itself, with a
// screenshot of each step as soon as it shows, until the finish panel.
void WatchToFinish(Session& session, const Wizard& wizard) {
    int shown = wizard.Step();
    session.Wait(L"the finish panel", [&] {
        int step = wizard.Step();
        if (step != shown && step >= 0 && step < 5) {
            shown = step;
            ShootRunningStep(session, wizard, step);
        }
        return step == 5;
    }, kCopyTimeoutMs, 1);
    session.Shot(StepName(wizard, 5) + L"-finish", wizard.Window());
}

void RunToFinish(Session& session, const Wizard& wizard) {
    Click(wizard.Button(kNext));
    WatchToFinish(session, wizard);
}

// Many small files in the game's maps, so that a copy lasts long enough to be caught
// in the middle: a copy's time goes mostly to making files, not to their bytes.
void AddBulkMaps(const std::wstring& gameFolder) {
    std::string tile(16 * 1024, 'm');
    for (int i = 0; i < 3000; ++i) {
        tile[0] = static_cast<char>('0' + i % 10);
        WriteBytes(gameFolder + L"\\maps\\e2e bulk\\tile " + std::to_wstring(i) + L".map", tile);
    }
}

// The bulk maps played on since the last backup: each a day newer, so that the next job
// copies them all again.
void TouchBulkMaps(const std::wstring& gameFolder) {
    for (int i = 0; i < 3000; ++i) {
        std::wstring path = gameFolder + L"\\maps\\e2e bulk\\tile " + std::to_wstring(i) + L".map";
        FileHandle file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr));
        FILETIME time{};
        if (!file || !GetFileTime(file.Get(), nullptr, nullptr, &time))
            throw E2eError(L"cannot reach " + path);
        ULARGE_INTEGER t{{time.dwLowDateTime, time.dwHighDateTime}};
        t.QuadPart += 864000000000ULL;
        time = {t.LowPart, t.HighPart};
        SetFileTime(file.Get(), nullptr, nullptr, &time);
    }
}

// The files done and in all that the step panel's progress line shows, if it shows one.
bool CopyShown(const Wizard& wizard, long& done, long& total) {
    const std::wstring pattern = texts::ProgressCopying;  // "%1 of %2 files copied, %3 of %4"
    const std::wstring middle = pattern.substr(2, pattern.find(L"%2") - 2);
    const std::wstring after = pattern.substr(pattern.find(L"%2") + 2, pattern.find(L"%3") - pattern.find(L"%2") - 2);
    for (HWND control : Descendants(wizard.Window())) {
        std::wstring text = TextOf(control);
        size_t m = text.find(middle);
        if (!IsWindowVisible(control) || m == std::wstring::npos || text.find(after) == std::wstring::npos)
            continue;
        done = std::wcstol(text.c_str(), nullptr, 10);
        total = std::wcstol(text.c_str() + m + middle.size(), nullptr, 10);
        return true;
    }
    return false;
}

// Starts the job with Next and kills the program once its step panel shows the copy well
// under way, with a screenshot of that.
void KillDuringCopy(Session& session, const Wizard& wizard) {
    Click(wizard.Button(kNext));
    long done = 0, total = 0;
    session.Wait(L"the copy under way on the step panel", [&] {
        return CopyShown(wizard, done, total) && done >= 100 && done + 1000 < total;
    }, kCopyTimeoutMs, 5);
    session.Shot(StepName(wizard, wizard.Step()) + L"-copying", wizard.Window());
    Log(L"the step panel shows " + std::to_wstring(done) + L" of " + std::to_wstring(total) + L" files copied");
    session.Kill();
}

// A file of that many MiB in the game's maps, for a copy that stays long in one file.
void AddBigMap(const std::wstring& gameFolder, unsigned mebibytes) {
    std::wstring path = gameFolder + L"\\maps\\e2e big world.map";
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        throw E2eError(L"cannot create " + path);
    std::string piece(1 << 20, 'w');
    for (unsigned i = 0; i < mebibytes; ++i) {
        DWORD written = 0;
        piece[0] = static_cast<char>(i);
        if (!WriteFile(file.Get(), piece.data(), static_cast<DWORD>(piece.size()), &written, nullptr))
            throw E2eError(L"cannot write " + path);
    }
}

// The next start puts right what the killed job left, says so, and shows the main menu.
void StartAgainAfterKill(const RunOptions& options, ScreenshotLog& shots, const std::wstring& message) {
    WithSession(options.exePath, shots, [&](Session& session) {
        session.ExpectMessage(message);
        HWND menu = OpenMainMenu(session);
        if (!session.AllExpectedShown())
            throw E2eError(L"the main menu showed before the message: " + message);
        Click(FindChild(menu, L"Button", std::wstring(kCancel)));
        session.ExpectEnd(L"Cancel on the main menu");
    });
}

void ExpectSameTree(const FileTree& before, const std::wstring& folder, const std::wstring& what) {
    std::vector<std::wstring> differences = CompareTrees(before, FileTree::Read(folder));
    for (const auto& line : differences)
        Log(L"  " + line);
    if (!differences.empty())
        throw E2eError(what + L" is not as it was before the job: " + folder);
    Log(what + L" is byte for byte as it was before the job: " + folder);
}

// Where the game lies elsewhere than where it installs itself, the finish panel says so.
void ExpectGameFolderNamed(const Wizard& wizard) {
    if (SameText(GameFolder(), kUsualGameFolder))
        return;
    for (HWND control : Descendants(wizard.Window())) {
        if (IsWindowVisible(control) && TextOf(control).find(GameFolder() + L".") != std::wstring::npos) {
            Log(L"the finish panel names the game folder: " + TextOf(control));
            return;
        }
    }
    throw E2eError(L"the finish panel does not name the game folder " + GameFolder());
}

// The finish panel's verdict.
void ExpectFinishSays(const Wizard& wizard, const std::wstring& verdict) {
    for (HWND control : Descendants(wizard.Window())) {
        if (IsWindowVisible(control) && TextOf(control) == verdict) {
            Log(L"the finish panel says: " + verdict);
            return;
        }
    }
    throw E2eError(L"the finish panel does not say \"" + verdict + L"\"");
}

void Finish(Session& session, const Wizard& wizard) {
    Click(wizard.Button(kFinish));
    session.ExpectEnd(L"Finish");
}

void WalkBackup(Session& session, const std::wstring& setFolder, bool configMissing) {
    Wizard wizard = StartWizard(session, OpenMainMenu(session), kBackupWizard);
    Next(session, wizard);
    DoubleNext(session, wizard, 2, kEnterPath);
    RefusedFolder(session, wizard, GameFolder() + L"\\saves\\..",
                  FillIn(texts::BackupFolderInGameFolder, {GameFolder()}));
    HWND folderBox = wizard.PanelControl(L"Edit");
    SetText(folderBox, setFolder);
    session.Wait(L"the folder in the box", [&] { return EditText(folderBox) == setFolder; });
    session.Shot(L"backup-step2-folder-typed", wizard.Window());
    if (configMissing)
        session.ExpectMessage(kErrorCopyingFile);
    RunToFinish(session, wizard);
    wizard.ExpectButtons(false, true, true, false);
    std::wstring shown = EditText(wizard.PanelControl(L"Edit"));
    if (shown != setFolder)
        throw E2eError(L"the finish panel shows \"" + shown + L"\", expected \"" + setFolder + L"\"");
    Log(L"the finish panel shows the backup folder " + shown);
    ExpectGameFolderNamed(wizard);
    Finish(session, wizard);
}

// Chooses the file as a user does in the open-file dialog: types its path, presses Open.
void ChooseInOpenDialog(Session& session, const Wizard& wizard, const std::wstring& path) {
    Click(wizard.PanelControl(L"Button", std::wstring(kSelect)));
    HWND dialog = session.WaitForTopWindow(L"the open-file dialog", IsOpenDialog);
    HWND nameBox = nullptr;
    session.Wait(L"the open-file dialog's file-name box", [&] {
        nameBox = GetDlgItem(dialog, cmb13);
        if (!nameBox || !IsWindowVisible(nameBox))
            nameBox = GetDlgItem(dialog, edt1);
        return nameBox && IsWindowVisible(nameBox);
    });
    // The dialog lists the folder's files after it shows: give it time to paint them.
    session.Shot(L"restore-open-dialog", dialog, kDialogPaintMs);
    SetText(nameBox, path);
    session.Shot(L"restore-open-dialog-typed", dialog);
    PressDialogButton(dialog, IDOK);
    session.Wait(L"the open-file dialog to close", [&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); });
}

void WaitForFocus(Session& session, HWND control, const std::wstring& what);

// "Choose files...": the list of what the restore would change, walked by the keyboard
// alone: Space unticks the first row and ticks it again, Enter is OK with every row ticked.
// Where the game holds the set's data already, the program says so instead.
void ChooseEveryFile(Session& session, const Wizard& wizard) {
    Click(wizard.PanelControl(L"Button", std::wstring(texts::ButtonChooseFiles)));
    HWND shown = session.WaitForTopWindow(L"the choice of files", [](HWND window) {
        return IsMessageBox(window) || TextOf(window) == texts::ChooseTitle;
    });
    if (IsMessageBox(shown)) {
        session.Shot(L"restore-step1-nothing-to-choose", shown);
        PressDialogButton(shown, IDOK);
        return;
    }
    HWND list = FindVisibleChild(shown, L"SysListView32");
    WaitForFocus(session, list, L"the list of files");
    session.Shot(L"restore-choose-files", shown);
    PressKey(VK_SPACE);
    session.Shot(L"restore-choose-files-first-unticked", shown);
    PressKey(VK_SPACE);
    PressKey(VK_RETURN);
    session.Wait(L"step 1 to say how many will be restored", [&] {
        for (HWND control : Descendants(wizard.Window())) {
            if (IsWindowVisible(control) && TextOf(control).find(L"changed files will be restored.") != std::wstring::npos)
                return true;
        }
        return false;
    });
    session.Shot(L"restore-step1-files-chosen", wizard.Window());
}

void WalkRestore(Session& session, const std::wstring& markerPath, bool useOpenDialog) {
    Wizard wizard = StartWizard(session, OpenMainMenu(session), kRestoreWizard);
    DoubleNext(session, wizard, 1, kSelectAFile);
    HWND fileBox = wizard.PanelControl(L"Edit");
    if (useOpenDialog)
        ChooseInOpenDialog(session, wizard, markerPath);
    else
        SetText(fileBox, markerPath);
    session.Wait(L"the marker in the box", [&] { return SameText(EditText(fileBox), markerPath); });
    session.Shot(L"restore-step1-marker-chosen", wizard.Window());
    ChooseEveryFile(session, wizard);
    RunToFinish(session, wizard);
    wizard.ExpectButtons(false, false, true, false);
    ExpectFinishSays(wizard, texts::RestoreDone);
    ExpectGameFolderNamed(wizard);
    Finish(session, wizard);
}

// The keyboard alone, from here on: every key goes through the system's input queue to
// the control that has the focus, so each wait for the focus is part of what is tested.
void WaitForFocus(Session& session, HWND control, const std::wstring& what) {
    session.Wait(what + L" to have the focus", [&] { return FocusOf(control) == control; });
}

void KeyToStep(Session& session, const Wizard& wizard, WORD key, bool withAlt, int target) {
    PressKey(key, withAlt);
    session.Wait(L"step " + std::to_wstring(target) + L" after a key", [&] { return wizard.Step() == target; });
    session.Shot(StepName(wizard, target) + L"-by-key", wizard.Window());
}

// Enter on the menu, with the focus on the chosen job, starts it.
Wizard StartWizardByKey(Session& session, HWND menu, HWND option, const WizardKind& kind) {
    WaitForFocus(session, option, L"the chosen option");
    PressKey(VK_RETURN);
    HWND window = session.WaitForTopWindow(L"the " + std::wstring(kind.name) + L" wizard", IsWizardWindow);
    Wizard wizard(window, kind);
    session.Wait(L"the welcome panel", [&] { return wizard.Step() == 0 && !IsWindowVisible(menu); });
    WaitForFocus(session, wizard.Button(kNext), L"Next");
    return wizard;
}

void EndByKey(Session& session, const Wizard& wizard, WORD key) {
    WaitForFocus(session, wizard.Button(kFinish), L"Finish");
    PressKey(key);
    session.ExpectEnd(key == VK_SPACE ? L"Space on Finish" : L"Enter on the finish panel");
}

void WalkBackupByKeyboard(Session& session, const std::wstring& setFolder, bool configMissing) {
    HWND menu = OpenMainMenu(session);
    Wizard wizard = StartWizardByKey(session, menu, FindChild(menu, L"Button", std::wstring(kOptionBackup)),
                                     kBackupWizard);
    KeyToStep(session, wizard, VK_RETURN, false, 1);
    KeyToStep(session, wizard, VK_RETURN, false, 2);
    HWND folderBox = wizard.PanelControl(L"Edit");
    WaitForFocus(session, folderBox, L"the folder box");
    KeyToStep(session, wizard, 'B', true, 1);  // "< &Back"
    KeyToStep(session, wizard, 'N', true, 2);  // "&Next >"
    WaitForFocus(session, folderBox, L"the folder box, again");
    TypeText(setFolder);
    session.Wait(L"the typed folder in the box", [&] { return EditText(folderBox) == setFolder; });
    session.Shot(L"backup-step2-folder-typed", wizard.Window());
    if (configMissing)
        session.ExpectMessage(kErrorCopyingFile);
    PressKey(VK_RETURN);
    WatchToFinish(session, wizard);
    ExpectGameFolderNamed(wizard);
    EndByKey(session, wizard, VK_RETURN);
}

void WalkRestoreByKeyboard(Session& session, const std::wstring& markerPath, bool) {
    HWND menu = OpenMainMenu(session);
    HWND backup = FindChild(menu, L"Button", std::wstring(kOptionBackup));
    HWND restore = FindChild(menu, L"Button", std::wstring(kOptionRestore));
    WaitForFocus(session, backup, L"the backup option");
    PressKey(VK_DOWN);
    session.Wait(L"the restore option chosen with the arrow key", [&] { return IsChecked(restore); });
    Wizard wizard = StartWizardByKey(session, menu, restore, kRestoreWizard);
    KeyToStep(session, wizard, VK_RETURN, false, 1);
    HWND fileBox = wizard.PanelControl(L"Edit");
    WaitForFocus(session, fileBox, L"the marker box");
    TypeText(markerPath);
    session.Wait(L"the typed marker in the box", [&] { return EditText(fileBox) == markerPath; });
    PressKey(VK_RETURN);
    WatchToFinish(session, wizard);
    ExpectGameFolderNamed(wizard);
    EndByKey(session, wizard, VK_SPACE);
}

// Esc in a wizard is Cancel: the program ends.
void CancelByKeyboard(Session& session) {
    HWND menu = OpenMainMenu(session);
    StartWizardByKey(session, menu, FindChild(menu, L"Button", std::wstring(kOptionBackup)), kBackupWizard);
    PressKey(VK_ESCAPE);
    session.ExpectEnd(L"Esc in the wizard");
}

std::wstring Today() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return MarkerName(now);
}

void PrepareFreshFolder(const std::wstring& folder, bool removeExisting) {
    if (removeExisting)
        RemoveTree(folder);
    MakeFolders(folder);
    if (!IsEmptyFolder(folder))
        throw E2eError(L"the backup folder " + folder + L" is not empty: name a fresh one");
}

// The sample game data in the game folder for the run, when one is given.
std::unique_ptr<GameFolderFixture> LendGameFolder(const RunOptions& options) {
    if (options.sampleFolder.empty())
        return nullptr;
    return std::make_unique<GameFolderFixture>(options.sampleFolder);
}

using BackupWalk = std::function<void(Session&, const std::wstring& setFolder, bool configMissing)>;
using RestoreWalk = void (*)(Session&, const std::wstring& markerPath, bool useOpenDialog);

void BackupAndVerify(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder,
                     BackupWalk walk = WalkBackup) {
    PrepareFreshFolder(setFolder, !options.sampleFolder.empty());
    FileTree gameData = GameDataOf(GameFolder());
    if (gameData.FileCount() == 0)
        throw E2eError(L"the game folder " + GameFolder() + L" holds no game data to back up");
    bool configMissing = !PathExists(GameFolder() + L"\\" + kGameConfig);
    std::wstring dayBefore = Today();
    WithSession(options.exePath, shots, [&](Session& session) { walk(session, setFolder, configMissing); });
    VerifyBackupSet(gameData, setFolder, {dayBefore, Today()});
    Log(L"backup set verified: " + std::to_wstring(gameData.FileCount()) + L" files byte-identical in " + setFolder +
        L", marker " + MarkerFiles(setFolder).front());
}

void RestoreAndVerify(const RunOptions& options, ScreenshotLog& shots, const std::wstring& markerPath,
                      RestoreWalk walk = WalkRestore) {
    std::wstring location = MarkerLocation(markerPath);
    if (!IsFolder(location))
        throw E2eError(L"the marker " + markerPath + L" leads to no folder (\"" + location + L"\")");
    FileTree setData = GameDataOf(location);
    FileTree gameBefore = FileTree::Read(GameFolder());
    WithSession(options.exePath, shots,
                [&](Session& session) { walk(session, markerPath, options.useOpenDialog); });
    VerifyRestore(setData, gameBefore, FileTree::Read(GameFolder()));
    Log(L"restore verified: " + std::to_wstring(setData.FileCount()) + L" files of " + location +
        L" back in the game folder, the rest untouched");
}

}  // namespace

void MainMenuScenario(const RunOptions& options, ScreenshotLog& shots) {
    WithSession(options.exePath, shots, [&](Session& session) {
        HWND menu = OpenMainMenu(session);
        Click(FindChild(menu, L"Button", std::wstring(kCancel)));
        session.ExpectEnd(L"Cancel on the main menu");
    });
}

void BackupScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    BackupAndVerify(options, shots, setFolder);
    if (lent)
        RemoveTree(setFolder);
}

void RestoreScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& markerPath) {
    auto lent = LendGameFolder(options);
    RestoreAndVerify(options, shots, markerPath);
}

void DailyBackupScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    UnscheduleDailyBackup();
    DailyBackup daily{options.exePath, setFolder, {21, 30}, 7};
    // Under Wine the message gives the crontab line for this program in this prefix.
    std::optional<std::wstring> cronLine;
    if (WineVersion())
        cronLine = DailyCronLine(daily, {UnixPathOf(daily.program).value_or(L"?"), WinePrefixPath().value_or(L"?"),
                                         WineFileNameLocale().value_or(L"")});
    const std::wstring message =
        cronLine ? FillIn(texts::DailyScheduledWine, {daily.at.Text(), *cronLine})
                 : FillIn(texts::DailyScheduled, {setFolder, daily.at.Text(), std::to_wstring(daily.keep)});
    BackupAndVerify(options, shots, setFolder, [&](Session& session, const std::wstring& folder, bool) {
        Wizard wizard = StartWizard(session, OpenMainMenu(session), kBackupWizard);
        Next(session, wizard);
        Next(session, wizard);
        SetText(wizard.PanelControl(L"Edit"), folder);
        RunToFinish(session, wizard);
        HWND check = wizard.PanelControl(L"Button", std::wstring(texts::DailyCheckBox));
        // An edit box keeps its text to itself: each box is found by what it holds.
        auto boxHolding = [&](const std::wstring& text) -> HWND {
            for (HWND child : Descendants(wizard.Window()))
                if (ClassOf(child) == L"Edit" && IsWindowVisible(child) && EditText(child) == text)
                    return child;
            return nullptr;
        };
        HWND at = boxHolding(L"21:00");
        HWND keep = boxHolding(std::to_wstring(DefaultDailySetsKept));
        if (!check || !at || !keep)
            throw E2eError(L"the finish panel lacks the daily backup's line");
        ClickRadio(check);  // BM_CLICK, as a check box takes a click
        SetText(at, daily.at.Text());
        SetText(keep, std::to_wstring(daily.keep));
        session.Wait(L"the daily backup checked", [&] { return IsChecked(check); });
        session.Shot(L"backup-step5-daily-checked", wizard.Window());
        session.ExpectMessage(message);
        Click(wizard.Button(kFinish));
        session.Wait(L"the message of what was set up", [&] { return session.AllExpectedShown(); });
        session.ExpectEnd(L"Finish");
    });
    std::optional<ScheduledTask> task = ScheduledDailyBackup();
    if (!task || task->description.find(setFolder + L" every day at 21:30, keeping the newest 7.") == std::wstring::npos)
        throw E2eError(L"no task \"Backup Tarnwick\" for " + setFolder + L" after Finish");
    Log(L"the task is registered: " + task->description);
    if (cronLine && TextOnClipboard() != *cronLine)
        throw E2eError(L"the clipboard holds \"" + TextOnClipboard() + L"\", not the crontab line");
    if (cronLine)
        Log(L"the clipboard holds the crontab line: " + *cronLine);
    UnscheduleDailyBackup();
    if (lent)
        RemoveTree(setFolder);
}

void BackupRestoreUndoScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    if (!lent)
        throw E2eError(L"the undo walk restores twice over the game data: it runs only on lent sample data (--seed)");
    BackupAndVerify(options, shots, setFolder);
    // No deletion: a restore merges, so a file deleted after the backup comes back, and
    // restoring the safety set cannot take it away again.
    for (const auto& change : ChangeGameData(GameFolder(), false))
        Log(L"after the backup: " + change);
    FileTree played = FileTree::Read(GameFolder());
    FileTree playedData = GameDataOf(GameFolder());
    std::vector<std::wstring> setsBefore = SafetySetNames();
    RestoreAndVerify(options, shots, setFolder + L"\\" + MarkerFiles(setFolder).front());

    std::vector<std::wstring> sets = SafetySetNames();
    if (sets.size() != setsBefore.size() + 1)
        throw E2eError(L"the restore left no new safety set in " + SafetySetsFolder());
    std::wstring safetySet = SafetySetsFolder() + L"\\" + sets.back();
    std::vector<std::wstring> markers = MarkerFiles(safetySet);
    if (markers.size() != 1)
        throw E2eError(L"the safety set " + safetySet + L" has no marker file");
    // The safety set holds what the restore replaced, as it was before.
    FileTree kept = GameDataOf(safetySet);
    for (const auto& [key, entry] : kept.Entries()) {
        std::wstring difference = DifferenceOf(entry, playedData.Find(entry.relativePath));
        if (!entry.isFolder && !difference.empty())
            throw E2eError(L"the safety set " + safetySet + L" holds " + entry.relativePath + L" other than the game "
                           L"had it before the restore: " + difference);
    }
    Log(L"the safety set holds the " + std::to_wstring(kept.FileCount()) + L" files the restore replaced, as they "
        L"were: " + safetySet);
    RestoreAndVerify(options, shots, safetySet + L"\\" + markers.front());
    std::vector<std::wstring> differences = CompareTrees(played, FileTree::Read(GameFolder()));
    if (!differences.empty()) {
        for (const auto& line : differences)
            Log(L"  " + line);
        throw E2eError(L"restoring the safety set did not give back the game folder as it was");
    }
    Log(L"undo verified: the game folder is byte for byte as it was before the first restore");
    RemoveTree(setFolder);
}

void KillScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    if (!lent)
        throw E2eError(L"the kill walk changes the game data: it runs only on lent sample data (--seed)");
    AddBulkMaps(GameFolder());
    BackupAndVerify(options, shots, setFolder);
    for (const auto& change : ChangeGameData(GameFolder()))
        Log(L"after the backup: " + change);
    TouchBulkMaps(GameFolder());

    // A second backup into the set, killed in the middle of its copy.
    FileTree setBefore = FileTree::Read(setFolder);
    WithSession(options.exePath, shots, [&](Session& session) {
        Wizard wizard = StartWizard(session, OpenMainMenu(session), kBackupWizard);
        Next(session, wizard);
        Next(session, wizard);
        SetText(wizard.PanelControl(L"Edit"), setFolder);
        KillDuringCopy(session, wizard);
    });
    StartAgainAfterKill(options, shots, FillIn(texts::RecoveredBackupUndone, {setFolder}));
    ExpectSameTree(setBefore, setFolder, L"the backup set with its marker");

    // A restore from that set, killed in the middle of its copy.
    FileTree gameBefore = FileTree::Read(GameFolder());
    std::vector<std::wstring> setsBefore = SafetySetNames();
    WithSession(options.exePath, shots, [&](Session& session) {
        Wizard wizard = StartWizard(session, OpenMainMenu(session), kRestoreWizard);
        Next(session, wizard);
        SetText(wizard.PanelControl(L"Edit"), setFolder + L"\\" + MarkerFiles(setFolder).front());
        KillDuringCopy(session, wizard);
    });
    StartAgainAfterKill(options, shots, FillIn(texts::RecoveredRestoreUndone, {setFolder}));
    ExpectSameTree(gameBefore, GameFolder(), L"the game folder");
    if (SafetySetNames() != setsBefore)
        throw E2eError(L"the undone restore left a safety set behind in " + SafetySetsFolder());
    RemoveTree(setFolder);
}

void CancelScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    if (!lent)
        throw E2eError(L"the cancel walk adds to the game data: it runs only on lent sample data (--seed)");
    if (options.bigFileMiB)
        AddBigMap(GameFolder(), options.bigFileMiB);
    else
        AddBulkMaps(GameFolder());
    PrepareFreshFolder(setFolder, true);
    WithSession(options.exePath, shots, [&](Session& session) {
        Wizard wizard = StartWizard(session, OpenMainMenu(session), kBackupWizard);
        Next(session, wizard);
        Next(session, wizard);
        SetText(wizard.PanelControl(L"Edit"), setFolder);
        Click(wizard.Button(kNext));
        long done = 0, total = 0;
        // In the middle of the big file when there is one, else with many files to go.
        session.Wait(L"the copy under way on the step panel", [&] {
            if (!CopyShown(wizard, done, total))
                return false;
            if (!options.bigFileMiB)
                return done >= 100 && done + 1000 < total;
            for (HWND control : Descendants(wizard.Window())) {
                if (TextOf(control).find(L"e2e big world.map") != std::wstring::npos)
                    return true;
            }
            return false;
        }, kCopyTimeoutMs, 5);
        session.Shot(L"backup-step3-copying-before-cancel", wizard.Window());
        HWND cancel = wizard.Button(kCancel);
        ULONGLONG clicked = GetTickCount64();
        Click(cancel);
        session.Wait(L"Cancel to answer", [&] { return !IsWindowEnabled(cancel); }, kStepTimeoutMs, 1);
        ULONGLONG answered = GetTickCount64();
        session.ExpectEnd(L"Cancel during the copy");
        Log(L"Cancel answered after " + std::to_wstring(answered - clicked) + L" ms; the program had undone the copy "
            L"and ended after " + std::to_wstring(GetTickCount64() - clicked) + L" ms");
    });
    if (!IsEmptyFolder(setFolder))
        throw E2eError(L"the cancelled backup left something in " + setFolder);
    Log(L"the cancelled backup left the backup folder empty, as it was: " + setFolder);
    RemoveTree(setFolder);
}

void BackupRestoreScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    BackupAndVerify(options, shots, setFolder);
    if (lent)
        for (const auto& change : ChangeGameData(GameFolder()))
            Log(L"after the backup: " + change);
    RestoreAndVerify(options, shots, setFolder + L"\\" + MarkerFiles(setFolder).front());
    if (lent)
        RemoveTree(setFolder);
}

void KeyboardScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    if (!lent)
        throw E2eError(L"the keyboard walk restores over the game data: it runs only on lent sample data (--seed)");
    WithSession(options.exePath, shots, CancelByKeyboard);
    Log(L"Esc in the wizard ended the program");
    BackupAndVerify(options, shots, setFolder, WalkBackupByKeyboard);
    for (const auto& change : ChangeGameData(GameFolder()))
        Log(L"after the backup: " + change);
    RestoreAndVerify(options, shots, setFolder + L"\\" + MarkerFiles(setFolder).front(), WalkRestoreByKeyboard);
    RemoveTree(setFolder);
}

namespace {

// The set from outside: a save, and a list of added files whose third line climbs out of
// the game folder to the victim folder beside it on drive C:.
void MakeCraftedSet(const std::wstring& setFolder, const std::wstring& victimName, std::wstring& listPath,
                    std::wstring& badLine) {
    WriteBytes(setFolder + L"\\saves\\gift.sav", "a save from a stranger");
    MakeFolders(setFolder + L"\\maps");
    std::wstring climb;
    for (size_t at = GameFolder().find(L'\\'); at != std::wstring::npos; at = GameFolder().find(L'\\', at + 1))
        climb += L"..\\";
    badLine = climb + victimName + L"\\secret.txt";
    listPath = setFolder + L"\\Tarnwick safety set added files.txt";
    WriteBytes(listPath, "saves\\gift.sav\r\nmaps\r\n" + Narrow(badLine) + "\r\n");
    WriteBytes(setFolder + L"\\" + Today(),
               "[Backup]\r\nVersion=Tarnwick\r\nBackup_Location=" + Narrow(setFolder) + "\r\n");
}

}  // namespace

void CraftedSetScenario(const RunOptions& options, ScreenshotLog& shots, const std::wstring& setFolder) {
    auto lent = LendGameFolder(options);
    if (!lent)
        throw E2eError(L"the crafted-set walk runs only on lent sample data (--seed)");
    const std::wstring victimName = setFolder.substr(setFolder.find_last_of(L'\\') + 1) + L" victim";
    const std::wstring victim = L"C:\\" + victimName;
    PrepareFreshFolder(setFolder, true);
    RemoveTree(victim);
    WriteBytes(victim + L"\\secret.txt", "secret");
    std::wstring listPath, badLine;
    MakeCraftedSet(setFolder, victimName, listPath, badLine);
    const FileTree gameBefore = FileTree::Read(GameFolder()), setBefore = FileTree::Read(setFolder),
                   victimBefore = FileTree::Read(victim);
    const std::wstring refusal =
        listPath + L" is not a list this program wrote (line 3: " + badLine + L"). " + texts::NothingChanged;
    WithSession(options.exePath, shots, [&](Session& session) {
        Wizard wizard = StartWizard(session, OpenMainMenu(session), kRestoreWizard);
        Next(session, wizard);
        SetText(wizard.PanelControl(L"Edit"), setFolder + L"\\" + Today());
        session.ExpectMessage(refusal);
        RunToFinish(session, wizard);
        ExpectFinishSays(wizard, texts::RestoreNotComplete);
        Finish(session, wizard);
    });
    ExpectSameTree(gameBefore, GameFolder(), L"the game folder");
    ExpectSameTree(setBefore, setFolder, L"the crafted set");
    ExpectSameTree(victimBefore, victim, L"the victim folder");
    RemoveTree(setFolder);
    RemoveTree(victim);
}
