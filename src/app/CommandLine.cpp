#include "app/CommandLine.h"

#include <windows.h>
#include <shellapi.h>

#include <cwchar>

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

// A count of sets to keep: digits only, at least 1.
bool ParseKeep(const std::wstring& text, unsigned& keep) {
    if (text.empty() || text.size() > 4 || text.find_first_not_of(L"0123456789") != std::wstring::npos)
        return false;
    keep = static_cast<unsigned>(std::wcstoul(text.c_str(), nullptr, 10));
    return keep >= 1;
}

}  // namespace

Command ParseCommandLine(const std::vector<std::wstring>& args) {
    Command command;
    bool keepGiven = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (!IsSwitch(arg))
            return Invalid(FillIn(texts::CommandUnexpected, {arg}));
        std::wstring name = LowerCase(arg.substr(1));
        bool job = name == L"backup" || name == L"restore" || name == L"verify";
        if (name == L"?" || name == L"help") {
            command.kind = CommandKind::Usage;
            return command;
        }
        if (job && command.kind != CommandKind::Menu)
            return Invalid(texts::CommandOneJob);
        if (job) {
            if (i + 1 >= args.size() || args[i + 1].empty() || IsSwitch(args[i + 1]))
                return Invalid(FillIn(texts::CommandNeedsPath, {arg}));
            command.kind = name == L"backup"    ? CommandKind::Backup
                           : name == L"restore" ? CommandKind::Restore
                                                : CommandKind::Verify;
            command.path = args[++i];
        } else if (name == L"dated" && !command.dated) {
            command.dated = true;
        } else if (name == L"keep" && !keepGiven) {
            if (i + 1 >= args.size() || !ParseKeep(args[i + 1], command.keep))
                return Invalid(texts::CommandKeepNeedsCount);
            keepGiven = true;
            ++i;
        } else {
            return Invalid(FillIn(texts::CommandUnknownSwitch, {arg}));
        }
    }
    if ((command.dated || keepGiven) && command.kind != CommandKind::Backup)
        return Invalid(texts::CommandDatedOnlyWithBackup);
    if (keepGiven && !command.dated)
        return Invalid(texts::CommandKeepOnlyWithDated);
    return command;
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
