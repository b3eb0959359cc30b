#pragma once
// Module MFile: the folder copy through the shell, and further file procedures.

#include <string>

namespace MFile {

struct CopyFolderResult {
    bool whole = false;
    // The first source path missing or differing at the destination; empty when whole.
    std::wstring firstDifference;
};

// Copies the folder `source` (a trailing "\" is allowed), under its own last name and
// with everything in it, into the existing folder `destination`, through the shell:
// its progress and error windows show, equal names are replaced without a question,
// other files at the destination stay. A missing source is first created empty (an
// AppError when it cannot be). The shell's return value alone cannot tell whether the
// copy is whole, so the two trees are compared afterwards (names and sizes only).
[[nodiscard]] CopyFolderResult CopyFolder(const std::wstring& source, const std::wstring& destination);

}  // namespace MFile

// The module's procedures are callable unqualified too, like those of any module.
using MFile::CopyFolder;
using MFile::CopyFolderResult;
