#pragma once
// Administrator rights. The program runs with the player's own rights; only a restore
// into a game folder this user may not write asks for more, by starting the program
// again through the system's consent prompt (UAC) with the verb "runas".

#include <windows.h>

#include <functional>
#include <string>

// True when the system can give this program administrator rights if the user agrees:
// Windows with UAC on, and this process not elevated yet. Never under Wine, where every
// program holds full rights and no file checks a token, so rights would change nothing.
bool CanAskForRights();

// What a start with administrator rights runs.
struct ElevatedStart {
    std::wstring verb;        // "runas"
    std::wstring file;        // this program
    std::wstring parameters;  // its arguments, quoted as the command line splits them
};

// Starts this program again with administrator rights and the arguments, asking the
// user through the consent prompt, owned by owner. ERROR_SUCCESS once the new copy runs;
// ERROR_CANCELLED when the user declined; else the platform's error.
DWORD StartElevated(HWND owner, const std::wstring& parameters);

// Tests stand in for the system: while a hook is set, the process counts as one that may
// ask for rights (not elevated, UAC on), and each start goes to the hook, which answers
// as the system would, instead of to the shell. An empty hook restores the system.
using ElevationHook = std::function<DWORD(const ElevatedStart&)>;
ElevationHook SetElevationHook(ElevationHook hook);
