#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cstddef>

#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

bool IsSwitch(const std::wstring& arg) { return arg.size() > 1 && (arg[0] == L'/' || arg[0] == L'-'); }

Command Invalid(std::wstring problem) {
    Command command;
    command.kind = CommandKind::Invalid;
    command.problem = std::move(problem);
    return command;
}

bool IsSwitchNamed(const std::wstring& arg, const wchar_t* name) {
    return IsSwitch(arg) && LowerCase(arg.substr(1)) == name;
}

bool HasPathAt(const std::vector<std::wstring>& args, size_t i) {
    return i < args.size() && !args[i].empty() && !IsSwitch(args[i]);
}

CommandKind JobKindOf(const std::wstring& name, bool pathFollows) {
    if (name == L"backup")
        return CommandKind::Backup;
    if (name == L"restore")
        return CommandKind::Restore;
    if (name == L"verify")
        return CommandKind::Verify;
    if (name == L"schedule")
        return pathFollows ? CommandKind::Schedule : CommandKind::ShowSchedule;
    if (name == L"unschedule")
        return CommandKind::Unschedule;
    if (name == L"restorewizard")
        return CommandKind::RestoreWizard;
    if (name == L"sets")
        return CommandKind::Sets;
    return CommandKind::Invalid;
}

// After /play at i: the game's exe, then its own arguments up to the first /backup,
// switches among them. Leaves i on the last of them; returns what is wrong, or "".
std::wstring ReadGame(const std::vector<std::wstring>& args, size_t& i, Command& command) {
    if (i + 1 >= args.size() || args[i + 1].empty())
        return FillIn(texts::CommandNeedsPath, {args[i]});
    command.game = args[++i];
    size_t backup = i + 1;
    while (backup < args.size() && !IsSwitchNamed(args[backup], L"backup"))
        ++backup;
    if (backup == args.size())
        return texts::CommandPlayNeedsBackup;
    command.gameArguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                 args.begin() + static_cast<std::ptrdiff_t>(backup));
    i = backup - 1;  // the /backup is read next, as any job
    return {};
}

// Which switches go together, once all are read.
Command Checked(Command command, bool keepGiven, bool atGiven, bool playing) {
    const bool backup = command.kind == CommandKind::Backup;
    const bool schedule = command.kind == CommandKind::Schedule;
    // "/schedule /at 21:00": the folder is what is missing.
    if (command.kind == CommandKind::ShowSchedule && (atGiven || keepGiven))
        return Invalid(FillIn(texts::CommandNeedsPath, {L"/schedule"}));
    if (command.dated && !backup)
        return Invalid(texts::CommandDatedOnlyWithBackup);
    if (keepGiven && !backup && !schedule)
        return Invalid(texts::CommandDatedOnlyWithBackup);
    if (keepGiven && backup && !command.dated)
        return Invalid(texts::CommandKeepOnlyWithDated);
    if (atGiven && !schedule)
        return Invalid(texts::CommandAtOnlyWithSchedule);
    if ((command.preview || !command.only.empty()) && command.kind != CommandKind::Restore)
        return Invalid(texts::CommandOnlyWithRestore);
    if (schedule && !atGiven)
        return Invalid(texts::CommandScheduleNeedsAt);
    if (schedule && !keepGiven)
        command.keep = DefaultDailySetsKept;
    if (playing)
        command.kind = CommandKind::Play;
    return command;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::wstring>& args) {
    Command command;
    bool keepGiven = false;
    bool atGiven = false;
    bool playing = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (!IsSwitch(arg))
            return Invalid(FillIn(texts::CommandUnexpected, {arg}));
        std::wstring name = LowerCase(arg.substr(1));
        if (name == L"?" || name == L"help") {
            command.kind = CommandKind::Usage;
            return command;
        }
        CommandKind job = JobKindOf(name, HasPathAt(args, i + 1));
        bool takesPath = job == CommandKind::Backup || job == CommandKind::Restore || job == CommandKind::Verify ||
                         job == CommandKind::Schedule || job == CommandKind::Sets;
        if ((job != CommandKind::Invalid || name == L"play") && command.kind != CommandKind::Menu)
            return Invalid(texts::CommandOneJob);
        if (takesPath && !HasPathAt(args, i + 1))
            return Invalid(FillIn(texts::CommandNeedsPath, {arg}));
        if (job != CommandKind::Invalid) {
            command.kind = job;
            // The wizard's marker may be left out: the player chooses it there.
            if (takesPath || (job == CommandKind::RestoreWizard && HasPathAt(args, i + 1)))
                command.path = args[++i];
        } else if (name == L"play") {
            if (std::wstring problem = ReadGame(args, i, command); !problem.empty())
                return Invalid(problem);
            playing = true;
        } else if ((name == L"dated" && command.dated) || (name == L"keep" && keepGiven) ||
                   (name == L"at" && atGiven) || (name == L"preview" && command.preview)) {
            return Invalid(FillIn(texts::CommandRepeated, {arg}));
        } else if (name == L"dated") {
            command.dated = true;
        } else if (name == L"preview") {
            command.preview = true;
        } else if (name == L"only") {
            // A name may look like a switch only by mistake: names start with saves, maps,
            // scores or tarnwick.cfg.
            if (!HasPathAt(args, i + 1))
                return Invalid(FillIn(texts::CommandNeedsName, {arg}));
            command.only.push_back(args[++i]);
        } else if (name == L"keep") {
            std::optional<unsigned> keep = i + 1 < args.size() ? ParseSetsKept(args[i + 1]) : std::nullopt;
            if (!keep)
                return Invalid(FillIn(texts::CommandKeepNeedsCount, {std::to_wstring(MaxSetsKept)}));
            command.keep = *keep;
            keepGiven = true;
            ++i;
        } else if (name == L"at") {
            std::optional<TimeOfDay> at = i + 1 < args.size() ? TimeOfDay::Parse(args[i + 1]) : std::nullopt;
            if (!at)
                return Invalid(texts::CommandAtNeedsTime);
            command.at = *at;
            atGiven = true;
            ++i;
        } else {
            return Invalid(FillIn(texts::CommandUnknownSwitch, {arg}));
        }
    }
    return Checked(std::move(command), keepGiven, atGiven, playing);
}

std::vector<std::wstring> ProgramArguments() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args;
    for (int i = 1; argv && i < count; ++i)
        args.emplace_back(argv[i]);
    LocalFree(argv);
    return args;
}
