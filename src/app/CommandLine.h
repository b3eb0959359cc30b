#pragma once
// The program's command line. Without arguments the program opens its main menu; with
// them it runs one job without any window and ends:
//
//   /backup "<folder>" [/dated [/keep N]]   a backup into the folder (or a new dated
//                                           folder in it, keeping the newest N)
//   /restore "<marker file>"                a restore from the set the marker names
//   /verify "<marker file>"                 the set the marker names checked against its
//                                           manifest, nothing restored; a folder of dated
//                                           sets stands for its newest set
//   /?                                      the usage
//
// Switches take "/" or "-" and any case.

#include <string>
#include <vector>

enum class CommandKind { Menu, Usage, Backup, Restore, Verify, Invalid };

inline constexpr unsigned DefaultDatedSetsKept = 10;

struct Command {
    CommandKind kind = CommandKind::Menu;
    std::wstring path;  // Backup: the folder; Restore, Verify: the marker file
    bool dated = false;
    unsigned keep = DefaultDatedSetsKept;
    std::wstring problem;  // Invalid: what is wrong with the arguments

    bool RunsJob() const { return kind != CommandKind::Menu; }
};

// args: the arguments without the program's own name.
Command ParseCommandLine(const std::vector<std::wstring>& args);

// The arguments of the running program, without its own name.
std::vector<std::wstring> ProgramArguments();
