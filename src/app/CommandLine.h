#pragma once
// The program's command line. Without arguments the program opens its main menu; with
// them it runs one job without any window and ends:
//
//   /backup "<folder>" [/dated [/keep N]]   a backup into the folder (or a new dated
//                                           folder in it, keeping the newest N)
//   /restore "<marker file>" [/preview] [/only "<name>"...]
//                                           a restore from the set the marker names (or
//                                           a folder's own set, else its newest dated
//                                           set); /preview prints what it would change
//                                           and changes nothing; /only restores only
//                                           those files or folders of the game's data
//   /sets "<folder>"                        the dated sets in the folder, newest first
//   /verify "<marker file>"                 the set the marker names checked against its
//                                           manifest, nothing restored; a folder of dated
//                                           sets stands for its newest set
//   /schedule "<folder>" /at hh:mm [/keep N] a daily dated backup into the folder, as the
//                                           task "Backup Tarnwick" (see DailySchedule.h)
//   /schedule                               the daily backup that is set up
//   /unschedule                             the daily backup's task removed
//   /play "<game exe>" [arguments...] /backup "<folder>" [/dated [/keep N]]
//                                           the game run with its arguments (everything
//                                           up to /backup), then the backup once it and
//                                           every program it started have ended
//   /restorewizard ["<marker file>"]       the restore wizard, without the main menu,
//                                           with the marker chosen: what a restart with
//                                           administrator rights opens
//   /?                                      the usage
//
// Switches take "/" or "-" and any case.

#include <string>
#include <vector>

#include "schedule/DailyBackup.h"

enum class CommandKind {
    Menu,
    RestoreWizard,
    Usage,
    Backup,
    Restore,
    Verify,
    Schedule,
    ShowSchedule,
    Unschedule,
    Play,
    Sets,
    Invalid
};

inline constexpr unsigned DefaultDatedSetsKept = 10;

struct Command {
    CommandKind kind = CommandKind::Menu;
    std::wstring path;  // Backup, Schedule, Play, Sets: the folder; Restore, Verify, RestoreWizard: the marker file
                        // (Restore, Verify: or a folder that stands for a set)
    bool dated = false;
    unsigned keep = DefaultDatedSetsKept;  // Schedule: DefaultDailySetsKept unless given
    TimeOfDay at;                          // Schedule: the time of the daily backup
    bool preview = false;                  // Restore: what it would change, printed
    std::vector<std::wstring> only;        // Restore: the names chosen, as typed
    std::wstring game;                     // Play: the game's exe
    std::vector<std::wstring> gameArguments;
    std::wstring problem;  // Invalid: what is wrong with the arguments

    // False for the windows: the main menu, the restore wizard.
    bool RunsJob() const { return kind != CommandKind::Menu && kind != CommandKind::RestoreWizard; }
};

// args: the arguments without the program's own name.
Command ParseCommandLine(const std::vector<std::wstring>& args);

// The arguments of the running program, without its own name.
std::vector<std::wstring> ProgramArguments();
