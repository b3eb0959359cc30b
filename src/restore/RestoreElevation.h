#pragma once
// The one place the program asks for administrator rights: a restore into a game folder
// this user may not write, or the putting right of such a restore that was killed. Where
// Windows can give the rights (UAC), the program says why and offers to start again with
// them; the new copy opens the restore wizard with the same marker and checks everything
// again itself, and this copy ends. Where it cannot (already elevated; Wine), the restore
// is refused before it changes anything.

#include <windows.h>

#include <string>

// True when a restore into the game folder found would need rights this copy may ask
// for: the main menu then shows the shield on Start.
bool RestoreNeedsElevation();

// Whether the restore from marker may go on in this copy of the program. False: it may
// not, and a message has said why and that nothing was changed. Where the user accepts
// the restart and the new copy runs, the program ends here.
bool ConfirmRightsForRestore(HWND owner, const std::wstring& marker);

// After the start found a killed restore this copy may not put right: offers the restart
// with the rights, which puts it right as it starts. Ends the program once the new copy runs.
void OfferRestartToPutRight(HWND owner);
