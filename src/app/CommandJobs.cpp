#include "app/CommandJobs.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <optional>

#include "app/CommandOutput.h"
#include "engine/game/GameLayout.h"
#include "engine/game/GameLocation.h"
#include "engine/jobs/BackupJob.h"
#include "engine/jobs/JobDescription.h"
#include "engine/jobs/QuietJobEvents.h"
#include "engine/jobs/RestoreJob.h"
#include "engine/journal/JobJournal.h"
#include "engine/journal/LastWindowlessBackup.h"
#include "engine/sets/BackupMarker.h"
#include "engine/sets/DatedSets.h"
#include "engine/sets/MarkerCheck.h"
#include "engine/sets/SetFolderCheck.h"
#include "engine/sets/SetVerify.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "files/PerUserCopy.h"
#include "runtime/AppError.h"
#include "runtime/ArgumentQuote.h"
#include "runtime/Elevation.h"
#include "runtime/MsgBox.h"
#include "runtime/ProcessTree.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"
#include "schedule/DailySchedule.h"

namespace {

// Message texts run over several lines; the command's line is one.
std::wstring OneLine(const std::wstring& text) {
    std::wstring line;
    for (wchar_t c : text) {
        bool space = c == L'\r' || c == L'\n' || c == L' ';
        if (space && (line.empty() || line.back() == L' '))
            continue;
        line += space ? L' ' : c;
    }
    while (!line.empty() && line.back() == L' ')
        line.pop_back();
    return line;
}

// The parts of a line, each a sentence, those that are empty left out.
std::wstring Join(std::initializer_list<std::wstring> parts) {
    std::wstring line;
    for (const std::wstring& part : parts) {
        std::wstring text = OneLine(part);
        if (!text.empty())
            line += (line.empty() ? L"" : L" ") + text;
    }
    return line;
}

int ExitCodeOf(const JobReport& report) {
    switch (report.outcome) {
    case JobOutcome::Whole:
        return ExitWhole;
    case JobOutcome::NotStarted:
        return ExitRefused;
    case JobOutcome::RolledBack:
        return ExitUndone;
    case JobOutcome::RollbackFailed:
        break;
    }
    return ExitNotPutBack;
}

// A job's verdict in its direction's words; before: what was put right first.
CommandOutcome Verdict(const JobReport& report, JobKind kind, const std::wstring& named, const std::wstring& setFolder,
                       const std::wstring& before) {
    bool backup = kind == JobKind::Backup;
    const wchar_t* words = report.outcome == JobOutcome::NotStarted
                               ? (backup ? texts::CommandBackupRefused : texts::CommandRestoreRefused)
                               : (backup ? texts::CommandBackupFailed : texts::CommandRestoreFailed);
    return {ExitCodeOf(report), Join({before, FillIn(words, {named, DescribeJobProblems(report, kind, setFolder)})})};
}

// A folder named on the command line, in full, without the trailing "\\" a shell's
// completion leaves (a drive's root keeps its own): it is joined to names and written into
// markers as a folder.
std::wstring FolderArgument(const std::wstring& path) {
    std::wstring folder = FullPath(path);
    while (folder.size() > 3 && folder.back() == L'\\')
        folder.pop_back();
    return folder;
}

// What is wrong with a path named on the command line, in the command line's words: the
// checks' own are the wizard's, which speak to a person at a dialog.
std::wstring NothingThere(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(LongPath(path).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FillIn(texts::CommandNothingThere, {SystemErrorText(GetLastError())});
    return {};
}

// Why a path named as a folder is none: nothing is there, or a file is.
std::wstring WhyNotAFolder(const std::wstring& folder) {
    std::wstring missing = NothingThere(folder);
    return missing.empty() ? std::wstring(texts::CommandNotAFolder) : missing;
}

std::wstring WhyNotASetFolder(const SetFolderCheck& check, const std::wstring& folder) {
    return check.verdict == SetFolderVerdict::NotAFolder ? WhyNotAFolder(folder) : OneLine(check.message);
}

std::wstring WhyNotAMarker(const MarkerCheck& check, const std::wstring& marker) {
    switch (check.verdict) {
    case MarkerVerdict::Missing: {
        std::wstring missing = NothingThere(marker);
        return missing.empty() ? OneLine(check.message) : missing;
    }
    case MarkerVerdict::NotBak:
        return texts::CommandMarkerNotBak;
    case MarkerVerdict::NotTarnwick:
        return texts::CommandMarkerNotTarnwick;
    case MarkerVerdict::NoLocation:
        return texts::CommandMarkerNoLocation;
    default:
        return OneLine(check.message);
    }
}


// Why a backup of game into folder cannot be made, found before anything is done (the game
// folder, the set folder); "" when nothing stands in its way.
std::wstring BackupRefusal(const std::wstring& folder, const std::wstring& game) {
    if (game.empty())
        return FillIn(texts::BackupNoGameFolder, {game::Folder});
    if (SetFolderCheck check = CheckSetFolder(folder, game); !check.Ok())
        return WhyNotASetFolder(check, folder);
    return {};
}

CommandOutcome RefuseBackup(const std::wstring& before, const std::wstring& folder, const std::wstring& why) {
    CommandOutcome outcome{ExitRefused, Join({before, FillIn(texts::CommandBackupRefused, {folder, why})})};
    outcome.backupFolder = folder;
    outcome.why = OneLine(why);
    return outcome;
}

CommandOutcome RunBackup(const Command& command, const std::wstring& before) {
    const std::wstring folder = FolderArgument(command.path);
    auto refuse = [&](const std::wstring& why) { return RefuseBackup(before, folder, why); };
    const std::wstring game = FindGameFolder();
    if (std::wstring why = BackupRefusal(folder, game); !why.empty())
        return refuse(why);

    std::wstring set = folder;
    std::wstring linkFrom;
    if (command.dated) {
        if (std::optional<DatedSet> newest = NewestDatedSet(folder))
            linkFrom = newest->folder;
        SYSTEMTIME now;
        GetLocalTime(&now);
        if (FileResult made = MakeDatedSetFolder(folder, now, set); !made.Ok())
            return refuse(FillIn(texts::CommandDatedSetNotMade, {made.path, SystemErrorText(made.error)}));
        if (SetFolderCheck check = CheckSetFolder(set, game); !check.Ok()) {
            RemoveDirectoryW(set.c_str());
            return refuse(WhyNotASetFolder(check, set));
        }
    }
    QuietJobEvents quiet;
    JobReport report =
        BackupJob(game, set, ExistingPerUserCopy(game), JobJournal::DefaultPath(), linkFrom, command.dated).Run(quiet);
    if (!report.Whole()) {
        // The dated folder was made for this run; after a failure it is empty again.
        if (command.dated)
            RemoveDirectoryW(set.c_str());
        CommandOutcome verdict = Verdict(report, JobKind::Backup, set, set, before);
        verdict.backupFolder = folder;
        verdict.why = OneLine(DescribeJobProblems(report, JobKind::Backup, set));
        return verdict;
    }
    std::wstring pruned;
    if (command.dated) {
        // Only once the new set is whole: until then the older ones are the backups.
        if (FileResult kept = KeepNewestDatedSets(folder, command.keep, set.substr(set.find_last_of(L'\\') + 1));
            !kept.Ok())
            pruned = FillIn(texts::CommandOlderSetNotRemoved, {kept.path, SystemErrorText(kept.error)});
    }
    CommandOutcome whole{ExitWhole,
            Join({before, DescribeJobProblems(report, JobKind::Backup, set),
                  FillIn(texts::CommandBackupDone, {game, set, report.marker}),
                  linkFrom.empty() ? L""
                                   : FillIn(texts::CommandDatedLinked,
                                            {FilesCounted(report.filesLinked), linkFrom, FilesCounted(report.filesCopied)}),
                  report.config == ConfigCopy::Missing ? texts::CommandBackupNoConfig : L"", pruned})};
    whole.backupFolder = folder;
    return whole;
}

// A job on the set a marker names: the marker in full form, and the refusal in the job's words.
// A folder stands for its own set, else for its newest dated set.
struct MarkerJob {
    MarkerJob(const Command& command, const std::wstring& before, const wchar_t* refusedWords)
        : named(FolderArgument(command.path)),
          folder(IsExistingFolder(named)),
          marker(folder ? MarkerOfFolder(named) : FullPath(command.path)),
          check(CheckMarker(marker)),
          before_(before),
          words_(refusedWords) {}

    // Why the job cannot start on the marker; "" when it can.
    std::wstring Problem() const {
        if (folder && marker.empty())
            return FillIn(texts::CommandNoSetInFolder, {named});
        return check.Ok() ? std::wstring() : WhyNotAMarker(check, marker);
    }

    CommandOutcome Refuse(const std::wstring& why) const {
        return {ExitRefused, Join({before_, FillIn(words_, {marker.empty() ? named : marker, why})})};
    }

    const std::wstring named;
    const bool folder;
    const std::wstring marker;
    const MarkerCheck check;

private:
    const std::wstring& before_;
    const wchar_t* words_;
};

// What a refusal for want of rights adds where Windows could give them: the command line
// never shows a consent prompt, so it says how to get the rights.
std::wstring RightsAdvice(bool lacking) {
    return lacking && CanAskForRights() ? texts::CommandRunAsAdministrator : L"";
}

// What a restore would change, a line each, and the count; refused in the restore's words.
CommandOutcome Preview(const RestorePreview& preview, const std::wstring& marker, const std::wstring& setFolder,
                       const std::wstring& game, const std::wstring& before) {
    if (!preview.report.Whole())
        return Verdict(preview.report, JobKind::Restore, marker, setFolder, before);
    CommandOutcome outcome{ExitWhole, Join({before, DescribePreview(preview.changes, setFolder, game),
                                            DescribeRestoreNotes(preview.report)})};
    for (const RestoreChange& change : preview.changes)
        outcome.listing.push_back(DescribeChange(change));
    return outcome;
}

CommandOutcome RunRestore(const Command& command, const std::wstring& before) {
    const MarkerJob job(command, before, texts::CommandRestoreRefused);
    const std::wstring& marker = job.marker;
    const MarkerCheck& check = job.check;
    auto refuse = [&](const std::wstring& why) { return job.Refuse(why); };
    if (std::wstring why = job.Problem(); !why.empty())
        return refuse(why);
    std::wstring bad;
    std::optional<RestoreChoice> choice = RestoreChoice::Parse(command.only, bad);
    if (!command.only.empty() && !choice)
        return refuse(FillIn(texts::CommandNotADataName, {bad}));
    const std::wstring game = FindGameFolder();
    if (game.empty())
        return refuse(FillIn(texts::RestoreNoGameFolderFound, {game::Folder}));
    RestoreJob restore(game, check.location, ExistingPerUserCopy(game));
    if (choice)
        restore.Choose(std::move(*choice));
    QuietJobEvents quiet;
    if (command.preview)
        return Preview(restore.Preview(quiet), marker, check.location, game, before);
    JobReport report = restore.Run(quiet);
    if (!report.Whole()) {
        CommandOutcome verdict = Verdict(report, JobKind::Restore, marker, check.location, before);
        verdict.line = Join({verdict.line, RightsAdvice(report.failedAt == JobStage::Rights)});
        return verdict;
    }
    std::wstring kept = report.safetyMarker.empty() ? std::wstring(texts::CommandRestoreNothingChanged)
                                                    : FillIn(texts::CommandRestoreSafetySet, {report.safetyMarker});
    return {ExitWhole, Join({before, DescribeJobProblems(report, JobKind::Restore, check.location),
                             FillIn(texts::CommandRestoreDone, {check.location, game}), kept, DescribeRestoreNotes(report)})};
}

CommandOutcome RunSets(const Command& command) {
    const std::wstring folder = FolderArgument(command.path);
    if (!IsExistingFolder(folder))
        return {ExitRefused, FillIn(texts::CommandSetsRefused, {folder, WhyNotAFolder(folder)})};
    std::vector<DatedSet> sets = DatedSets(folder);
    if (sets.empty())
        return {ExitRefused, FillIn(texts::CommandNoDatedSets, {folder})};
    CommandOutcome outcome{ExitWhole, FillIn(texts::CommandSetsCounted,
                                             {Counted(sets.size(), texts::OneDatedSet, texts::ManyDatedSets), folder})};
    for (auto set = sets.rbegin(); set != sets.rend(); ++set) {
        SetSize size = SizeOfSet(set->folder);
        outcome.listing.push_back(FillIn(texts::CommandSetLine, {set->name, FilesCounted(size.files), ByteSize(size.bytes), set->marker}));
    }
    return outcome;
}

// A history that stopped growing: the folder's newest dated set, verified here, is more than
// two days old while a daily backup is set up. "" otherwise.
std::wstring StaleHistory(const MarkerJob& job) {
    if (!job.folder)
        return {};
    std::optional<DatedSet> newest = NewestDatedSet(job.named);
    if (!newest || newest->marker != job.marker)
        return {};
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const std::uint64_t twoDays = 2ull * 24 * 3600 * 10'000'000;
    if ((std::uint64_t{now.dwHighDateTime} << 32 | now.dwLowDateTime) < newest->made + twoDays)
        return {};
    if (!ScheduledDailyBackup())
        return {};
    return FillIn(texts::CommandVerifyStale, {ShortDateTime(newest->made).substr(0, 10)});
}

CommandOutcome RunVerify(const Command& command, const std::wstring& before) {
    const MarkerJob job(command, before, texts::CommandVerifyRefused);
    const MarkerCheck& check = job.check;
    if (std::wstring why = job.Problem(); !why.empty())
        return job.Refuse(why);
    SetVerification verified = VerifySet(check.location);
    std::wstring extra = verified.extra.empty() ? std::wstring()
                                                : FillIn(texts::CommandVerifyExtra,
                                                         {FilesCounted(verified.extra.size()), SomeFiles(verified.extra)});
    switch (verified.verdict) {
    case SetVerification::Verdict::NothingToCheck:
        return job.Refuse(FillIn(texts::CommandVerifyNoManifest, {check.location}));
    case SetVerification::Verdict::Damaged: {
        std::wstring what = verified.refused
                                ? DescribeRefused(*verified.refused, check.location)
                                : FillIn(texts::CommandVerifyDamaged,
                                         {check.location, std::to_wstring(verified.damaged.size()),
                                          FilesCounted(verified.damaged.size() + verified.checked), SomeFiles(verified.damaged)});
        return {ExitUndone, Join({before, what, extra, StaleHistory(job)})};
    }
    case SetVerification::Verdict::Whole:
        break;
    }
    return {ExitWhole, Join({before, FillIn(texts::CommandVerifyWhole, {FilesCounted(verified.checked), check.location}),
                             extra, StaleHistory(job)})};
}

CommandOutcome RunSchedule(const Command& command) {
    const std::wstring folder = FolderArgument(command.path);
    // The same folders a backup takes: one the nightly job would refuse is refused now.
    if (SetFolderCheck check = CheckSetFolder(folder, GameFolderOrUsual()); !check.Ok())
        return {ExitRefused, FillIn(texts::CommandScheduleRefused, {folder, WhyNotASetFolder(check, folder)})};
    DailyBackup backup{ThisProgram(), folder, command.at, command.keep};
    DailySetup setup;
    try {
        setup = ScheduleDailyBackup(backup);
    } catch (const AppError& error) {
        return {ExitUndone, FillIn(texts::CommandScheduleRefused, {folder, error.Description()})};
    }
    return {ExitWhole,
            Join({FillIn(texts::CommandScheduled, {folder, backup.at.Text(), std::to_wstring(backup.keep)}),
                  setup.cronLine ? texts::CommandScheduledWine : L""}),
            setup.cronLine.value_or(L"")};
}

// The daily task, then how the last backup without a window ended.
CommandOutcome ShowSchedule() {
    std::optional<ScheduledTask> task = ScheduledDailyBackup();
    std::wstring shown;
    if (!task)
        shown = texts::CommandNoTask;
    else if (task->command.empty())  // Wine keeps a task's description but neither its action nor its trigger
        shown = FillIn(texts::CommandTaskShownWine, {task->description});
    else
        shown = FillIn(texts::CommandTaskShown,
                       {QuoteArgument(task->command), task->arguments, task->start.empty() ? L"?" : task->start});
    return {ExitWhole, Join({shown, DescribeLastWindowlessBackup(ReadWindowlessBackup(LastWindowlessBackupPath()))})};
}

CommandOutcome Unschedule() {
    return {ExitWhole, UnscheduleDailyBackup() ? texts::CommandUnscheduled : texts::CommandNoTask};
}

// The game first; the backup once the game and everything it started have ended. A backup
// that could not be made is refused before the game starts, not after a whole session.
CommandOutcome RunPlay(const Command& command, const std::wstring& before) {
    const std::wstring setFolder = FolderArgument(command.path);
    if (std::wstring why = BackupRefusal(setFolder, FindGameFolder()); !why.empty())
        return RefuseBackup(before, setFolder, why);
    const std::wstring game = FullPath(command.game);
    const std::wstring folder = game.substr(0, game.find_last_of(L'\\'));
    ProcessTreeEnd end;
    try {
        end = RunProcessTree(game, command.gameArguments, folder);
    } catch (const AppError& error) {
        return {ExitRefused, Join({before, FillIn(texts::CommandPlayRefused, {game, error.Description()})})};
    }
    const std::wstring exitCode = std::to_wstring(end.exitCode);
    if (!end.followed)
        return {ExitRefused, Join({before, FillIn(texts::CommandGameNotFollowed,
                                                  {game, exitCode, SystemErrorText(end.followError)})})};
    return RunBackup(command, Join({before, FillIn(texts::CommandGameEnded, {game, exitCode})}));
}

// An error the job did not expect has passed through it: a backup or restore put back
// what it had changed before letting it pass; a verify changes nothing.
CommandOutcome Unexpected(CommandKind kind, const std::wstring& path, const std::wstring& why) {
    const std::wstring unexpected = FillIn(texts::CommandUnexpectedError, {why});
    switch (kind) {
    case CommandKind::Backup:
    case CommandKind::Play: {
        CommandOutcome outcome{ExitUndone, FillIn(texts::CommandBackupFailed, {path, unexpected})};
        outcome.backupFolder = path;
        outcome.why = unexpected;
        return outcome;
    }
    case CommandKind::Verify:
        return {ExitUndone, FillIn(texts::CommandVerifyFailed, {path, unexpected})};
    case CommandKind::Restore:
        return {ExitUndone, FillIn(texts::CommandRestoreFailed, {path, unexpected})};
    case CommandKind::Sets:
        return {ExitRefused, FillIn(texts::CommandSetsRefused, {path, unexpected})};
    default:
        return {ExitUndone, FillIn(texts::CommandScheduleFailed, {unexpected})};
    }
}

}  // namespace

namespace {

CommandOutcome RunJob(const Command& command) {
    // The daily backup's task touches no game data.
    switch (command.kind) {
    case CommandKind::Schedule:
        return RunSchedule(command);
    case CommandKind::ShowSchedule:
        return ShowSchedule();
    case CommandKind::Unschedule:
        return Unschedule();
    case CommandKind::Sets:
        return RunSets(command);
    default:
        break;
    }
    // A preview changes nothing: not even what a killed job left is put right.
    if (command.kind == CommandKind::Restore && command.preview)
        return RunRestore(command, L"");
    // What a killed job left is put right first, as at the menu's start.
    Recovery recovery = RecoverInterruptedJob(JobJournal::DefaultPath(), GameFolderCandidates());
    std::wstring before = DescribeRecovery(recovery);
    if (!recovery.Ok())
        return {ExitNotPutBack, Join({before, RightsAdvice(recovery.needsRights)})};
    switch (command.kind) {
    case CommandKind::Backup:
        return RunBackup(command, before);
    case CommandKind::Verify:
        return RunVerify(command, before);
    case CommandKind::Play:
        return RunPlay(command, before);
    default:
        return RunRestore(command, before);
    }
}

}  // namespace

CommandOutcome RunCommandJob(const Command& command) {
    if (command.kind == CommandKind::Invalid)
        return {ExitRefused, FillIn(texts::CommandInvalid, {command.problem})};
    try {
        return RunJob(command);
    } catch (const AppError& error) {
        return Unexpected(command.kind, command.path, error.Description());
    } catch (const std::exception& error) {
        return Unexpected(command.kind, command.path, Widen(error.what()));
    }
}

int RunCommand(const Command& command) {
    if (command.kind == CommandKind::Usage) {
        WriteToConsole(texts::CommandUsage);
        return ExitWhole;
    }
    // Nor may the system ask: no "insert a disk" box for a drive that is empty, no
    // crash box.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    // Any message box the program would show is answered at once and its text goes to
    // the line instead.
    std::wstring boxes;
    MsgBoxHook previous = SetMsgBoxHook([&](const MsgBoxCall& call) {
        boxes += L" " + OneLine(call.text);
        return call.buttons == MsgButtons::YesNo ? MsgResult::No : MsgResult::Ok;
    });
    CommandOutcome outcome = RunCommandJob(command);
    SetMsgBoxHook(previous);
    std::wstring line = outcome.line + boxes;

    SYSTEMTIME now;
    GetLocalTime(&now);
    // Nobody may be at the screen: the outcome waits for the player at the menu's next start.
    if (!outcome.backupFolder.empty())
        (void)RecordWindowlessBackup(LastWindowlessBackupPath(), {now, outcome.backupFolder, outcome.exitCode,
                                                                  outcome.exitCode == ExitWhole ? L"" : outcome.why,
                                                                  line, false});
    DWORD logged = AppendToLog(CommandLogPath(), now, Join({line, outcome.ownLine}));
    std::wstring shown = line + L"\r\n";
    if (command.kind == CommandKind::Invalid)
        shown += L"\r\n" + std::wstring(texts::CommandUsage);
    if (logged != ERROR_SUCCESS)
        shown += L"(" + CommandLogPath() + L": " + SystemErrorText(logged) + L")\r\n";
    if (!outcome.ownLine.empty())
        shown += outcome.ownLine + L"\r\n";
    std::wstring listing;
    for (const std::wstring& entry : outcome.listing)
        listing += entry + L"\r\n";
    WriteToConsole(listing + shown);
    return outcome.exitCode;
}
