#pragma once
// The program's utility class for paths, files and folders. It holds no state: make a
// fresh instance for each use and drop it afterwards.
//
// windows.h comes first on purpose: it renames CopyFile and DeleteFile to their W forms,
// and every translation unit must see these members under the same names.

#include <windows.h>

#include <string>

class clsFileSystem {
public:
    // True for an existing file or folder (a trailing "\" on a folder is fine); every
    // problem reads as false.
    bool FileExist(const std::wstring& strFile) const;

    // True only for a bare name, spelled exactly as on disk, of an ordinary file (not
    // hidden, not system) in the current folder. A full path is always false.
    bool FileReal(const std::wstring& FileName) const;

    // The part after the last "\" (empty when the path ends in "\"); a text without
    // any "\" is returned whole.
    std::wstring GetFileName(const std::wstring& strPath) const;

    // The extension of one to four characters after a "." near the end, without the
    // dot, the shortest first (a.tar.gz gives "gz"); "Unknown" when there is none.
    std::wstring GetFileExtension(const std::wstring& FileName) const;

    // The last character. An empty text raises an invalid-argument AppError.
    std::wstring LastChar(const std::wstring& strText) const;

    // The text without its last character; an empty text stays empty.
    std::wstring sRemoveLastChar(std::wstring sPassString) const;

    // Copies one file, replacing an existing destination; the destination folder must
    // exist. A failure shows "Error copying File" once and returns false.
    bool CopyFile(const std::wstring& Source, const std::wstring& Destination) const;

    // Deletes the named file, or every ordinary file matching a pattern with "*" and "?".
    // A failure (nothing matches, read-only, no access) shows "Error deleting File" once
    // and returns false.
    bool DeleteFile(const std::wstring& FileName) const;

    // Makes every missing folder of a drive path (C:\a\b) or network path
    // (\\server\share\a\b), from the top down, letting window messages run between
    // levels. A folder that cannot be made raises the platform's error as an AppError;
    // the levels made before it stay.
    void CreateDirectoryStruct(const std::wstring& CreateThisPath) const;

private:
    static size_t FirstComponentStart(const std::wstring& path);
};
