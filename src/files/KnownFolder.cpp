#include "files/KnownFolder.h"

#include "runtime/Handles.h"

std::wstring KnownFolderPath(REFKNOWNFOLDERID id) {
    TaskString path;
    if (FAILED(SHGetKnownFolderPath(id, 0, nullptr, path.Receive())) || !path)
        return std::wstring();
    return path.Get();
}
