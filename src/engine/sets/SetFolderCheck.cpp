#include "engine/sets/SetFolderCheck.h"

#include "engine/sets/BackupMarker.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "runtime/TextConv.h"
#include "runtime/Texts.h"

SetFolderCheck CheckSetFolder(const std::wstring& folder, const std::wstring& gameFolder) {
    if (folder.empty())
        return {SetFolderVerdict::NoPath, texts::EnterPath};
    // A file of that name is refused like a missing folder: a backup into it would copy
    // nothing and still report success.
    if (!IsExistingFolder(folder))
        return {SetFolderVerdict::NotAFolder, texts::NotAValidFolder};
    // A copy of "saves" into a folder below "saves" recurses until the paths break.
    if (IsSameOrInsideFolder(folder, gameFolder))
        return {SetFolderVerdict::InsideGame, FillIn(texts::BackupFolderInGameFolder, {gameFolder})};
    // A longer location comes back cut from the marker and leads nowhere.
    if (folder.size() > MarkerValueMaxChars)
        return {SetFolderVerdict::TooLong, FillIn(texts::BackupFolderTooLong, {std::to_wstring(MarkerValueMaxChars),
                                                                             std::to_wstring(folder.size())})};
    return {};
}
