#include "restore/RestoreElevation.h"

#include "engine/game/GameLocation.h"
#include "engine/staging/RestoreRights.h"
#include "files/FileOps.h"
#include "files/PerUserCopy.h"
#include "runtime/AppError.h"
#include "runtime/ArgumentQuote.h"
#include "runtime/Elevation.h"
#include "runtime/EndProgram.h"
#include "runtime/MsgBox.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

// The folder of the game found that this copy may not write; success where it may, or
// where no game folder is found (the job asks the player for one and checks it itself).
FileResult GameRights() {
    const std::wstring game = FindGameFolder();
    if (game.empty())
        return FileResult::Success();
    return CheckRestoreRights(game, ExistingPerUserCopy(game));
}

// Starts the copy with the rights; true when it runs (this copy then ends), false when
// the user declined or it could not start, which a message says.
bool Restart(HWND owner, const std::wstring& arguments) {
    DWORD started = StartElevated(owner, arguments);
    if (started == ERROR_SUCCESS)
        EndProgram();
    if (started == ERROR_CANCELLED)
        MsgBox(texts::ElevationDeclined);
    else
        MsgBox(FillIn(texts::ElevationNotStarted, {SystemErrorText(started)}), MsgButtons::Ok, MsgIcon::Exclamation);
    return false;
}

}  // namespace

bool RestoreNeedsElevation() { return CanAskForRights() && !GameRights().Ok(); }

bool ConfirmRightsForRestore(HWND owner, const std::wstring& marker) {
    const FileResult rights = GameRights();
    if (rights.Ok())
        return true;
    const std::wstring folder = ShownPath(rights.path);
    if (!CanAskForRights()) {
        MsgBox(FillIn(texts::RestoreNoRights, {folder}), MsgButtons::Ok, MsgIcon::Exclamation);
        return false;
    }
    if (MsgBox(FillIn(texts::RestoreRightsOffer, {folder}), MsgButtons::YesNo, MsgIcon::Exclamation) !=
        MsgResult::Yes) {
        MsgBox(texts::ElevationDeclined);
        return false;
    }
    std::wstring arguments = L"/restorewizard";
    if (!marker.empty())
        arguments += L" " + QuoteArgument(marker);
    return Restart(owner, arguments);
}

void OfferRestartToPutRight(HWND owner) {
    if (!CanAskForRights())
        return;
    if (MsgBox(texts::RecoveryRightsOffer, MsgButtons::YesNo, MsgIcon::Exclamation) == MsgResult::Yes)
        Restart(owner, L"");
}
