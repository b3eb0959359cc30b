#pragma once
// File operations that report instead of deciding: each returns the platform's error
// with the path it concerns, and the caller chooses what the user is told. Those that
// take part in keeping the player's data whole work on the platform's long-path form,
// so that a save deep in its folders is not lost to the 260-character limit.

#include <windows.h>

#include <string>
#include <vector>

// A file that changed while it was read: the platform has no code for it, so this one is
// the program's own (bit 29 marks the codes that applications define).
constexpr DWORD kErrorChangedWhileRead = 0x20000000 | 0x101;

struct [[nodiscard]] FileResult {
    DWORD error = ERROR_SUCCESS;
    std::wstring path;  // the path the error concerns; empty on success

    bool Ok() const { return error == ERROR_SUCCESS; }
    static FileResult Success() { return {}; }
    static FileResult Failure(DWORD code, std::wstring where) {
        return {code ? code : ERROR_GEN_FAILURE, std::move(where)};
    }
};

// Copies one file, replacing an existing destination; the destination folder must exist.
FileResult CopyOneFile(const std::wstring& source, const std::wstring& destination);

// FullPath in the platform's long-path form ("\\?\C:\..." or "\\?\UNC\server\share\..."),
// which lifts the 260-character limit. A path already in that form stays.
std::wstring LongPath(const std::wstring& path);

// The path as a person reads it: the long-path form's prefix taken off again.
std::wstring ShownPath(const std::wstring& path);

// The folder in full form, or the nearest folder above it that exists: where a folder not
// made yet would be made. "" when there is none.
std::wstring NearestExistingFolder(const std::wstring& path);

// True when a file or folder of that name is there (paths of any length).
bool EntryExists(const std::wstring& path);

// True when the entry at path is a link (a junction or symbolic link, any reparse point),
// itself: what it leads to is not looked at.
bool IsLinkEntry(const std::wstring& path);

// Renames a file or folder within its volume (never a copy): cheap for any size.
FileResult RenameEntry(const std::wstring& from, const std::wstring& to);
// The same, returning once the rename itself is on the disk (MOVEFILE_WRITE_THROUGH): a
// rename that a later step relies on after a power cut.
FileResult RenameEntryDurably(const std::wstring& from, const std::wstring& to);

// Makes the folder and every missing folder above it.
FileResult MakeFolderPath(const std::wstring& folder);

// Copies a file, or a folder with everything in it, file by file; existing files of the
// same names are replaced, folders merged. Stops at the first failure.
FileResult CopyTree(const std::wstring& source, const std::wstring& destination);

// Removes a file, or a folder with everything in it (read-only bits cleared first).
// Nothing there is success. Stops at the first failure.
FileResult DeleteTree(const std::wstring& path);

// Every file below root, as paths relative to it, folders first listed then descended;
// none for a missing root. A listing that fails raises an AppError.
std::vector<std::wstring> FilesBelow(const std::wstring& root);

// The whole content of a small file (a marker), or false when it cannot be read.
bool ReadSmallFile(const std::wstring& path, std::string& content);
// The same for a file of up to 256 MiB (a set's manifest); paths of any length.
bool ReadWholeFile(const std::wstring& path, std::string& content);
// Writes the content as the whole file, replacing it.
FileResult WriteWholeFile(const std::wstring& path, const std::string& content);

// Makes what the file holds durable: its data is on the disk when this returns.
FileResult FlushFile(const std::wstring& path);

// Renames a finished temporary file over its final name, replacing what is there, and
// returns once the rename itself is written through: a power cut leaves the old file or
// the new one, never a mix.
FileResult ReplaceWithFile(const std::wstring& temporary, const std::wstring& final);

// The content written as the whole file durably: into path + ".new" first (written
// through and flushed), then renamed over path.
FileResult WriteFileDurably(const std::wstring& path, const std::string& content);
