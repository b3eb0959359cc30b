#include "engine/sets/MarkerCheck.h"

#include "engine/game/GameLayout.h"
#include "engine/sets/BackupMarker.h"
#include "files/ExistingFolder.h"
#include "files/clsFileSystem.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

namespace {

MarkerCheck Refused(MarkerVerdict verdict, std::wstring message, std::wstring location = {}) {
    return {verdict, std::move(location), std::move(message)};
}

}  // namespace

MarkerCheck CheckMarker(const std::wstring& markerPath) {
    clsFileSystem fs;
    if (markerPath.empty())
        return Refused(MarkerVerdict::NoPath, texts::SelectAFile);
    if (!fs.FileExist(markerPath))
        return Refused(MarkerVerdict::Missing, texts::FileDoesNotExist);
    if (LowerCase(fs.GetFileExtension(markerPath)) != L"bak")
        return Refused(MarkerVerdict::NotBak, texts::NeedBakExtension);
    if (!IsTarnwickVersion(ReadMarkerVersion(markerPath)))
        return Refused(MarkerVerdict::NotTarnwick, texts::NotATarnwickBackup);
    // A set that is not where the marker says would restore nothing, make empty folders
    // in odd places and still report success.
    std::wstring location = ReadMarkerLocation(markerPath);
    if (location.empty())
        return Refused(MarkerVerdict::NoLocation, texts::MarkerWithoutLocation);
    if (!IsExistingFolder(location))
        return Refused(MarkerVerdict::LocationMissing, FillIn(texts::MarkerLocationMissing, {location}), location);
    // A folder without any part of a set (a stick under another letter now, a folder
    // reused for other things) would get three empty folders and a report of success.
    if (!game::HoldsGameData(location))
        return Refused(MarkerVerdict::LocationHoldsNoSet, FillIn(texts::MarkerLocationHoldsNoSet, {location}), location);
    return {MarkerVerdict::Ok, location, {}};
}
