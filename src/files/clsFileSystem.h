#pragma once
// The program's utility class for paths, files and folders. It holds no state: make a
// fresh instance for each use and drop it afterwards.
//
// windows.h comes first on purpose: it renames CopyFile and DeleteFile to their W forms,
// and every translation unit must see these members under the same names.

#include <windows.h>

#include <functional>
#include <string>

class clsFileSystem {
public:
    // Where the folder scan shows what it is scanning ("Scanning Folder: " + folder);
    // an empty function shows it nowhere.
    using StatusLine = std::function<void(const std::wstring&)>;

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

    // Before a file is written anew: when FileReal(FileName) holds, asks "Overwrite File?"
    // (Yes, No) and deletes the file on Yes. A full path never asks.
    void Save(const std::wstring& FileName) const;

    // The size as "1023B" below 1024 bytes, else as KB with at most four decimals
    // (rounded half to even, the locale's decimal separator): "1.5KB", "1024KB".
    // "0B" when the size cannot be read.
    std::wstring GetFileSize(const std::wstring& FileName) const;

    // The attribute word by name ("Normal", "ReadOnly", "Hidden", "System", "Volume",
    // "Directory", "Archive", "Alias") or, for a combination, in decimal digits ("33").
    // "Unknown" when the attributes cannot be read.
    std::wstring GetAttrib(const std::wstring& FileName) const;

    // Each replaces the whole attribute word; failures are ignored.
    void SetHidden(const std::wstring& FileName) const;
    void SetReadOnly(const std::wstring& FileName) const;
    void SetSystem(const std::wstring& FileName) const;
    void SetNormal(const std::wstring& FileName) const;

    // The last change as the locale's short date and time, the time left out at exactly
    // midnight; "" when the file cannot be read.
    std::wstring GetFileDate(const std::wstring& FileName) const;

    // Copies, then deletes the source only after a good copy. A failure of either shows
    // "Error moving File" once and returns false.
    bool MoveFile(const std::wstring& Source, const std::wstring& Destination) const;

    // Creates that one folder; any failure is ignored.
    void MakeDIR(const std::wstring& Path) const;

    // Removes that one empty folder; a failure shows "Error removing Directory" once and
    // returns false.
    bool RemoveDIR(const std::wstring& Path) const;

    // Closes every file the text writer (clsFile) still has open.
    void CloseAllFiles() const;

    // The name without its extension; with IncludePath, with its folder as well.
    // C:\dir\report.final.txt gives report.final, or C:\dir\report.final.
    std::wstring GetFileBaseName(const std::wstring& FileName, bool IncludePath) const;

    // The folder part with its final "\"; "\" when there is none.
    std::wstring GetPath(const std::wstring& PathFile) const;

    // Every folder below RootDir (with or without a trailing "\"), as full paths without
    // a trailing "\", each followed by ";": first the direct sub-folders in the order the
    // platform lists them, then the whole list of each in turn. Hidden folders count;
    // system folders are left out with everything below them. "" for a missing root.
    // Lets window messages run once per folder. A failure while listing raises an
    // AppError and returns nothing. Recurse is not consulted: the scan always covers the
    // whole tree.
    std::wstring GetAllSubdirectories(std::wstring RootDir, bool Recurse = true,
                                      const StatusLine& status = {}) const;

private:
    static size_t FirstComponentStart(const std::wstring& path);
    static void ScanFolder(const std::wstring& folder, const StatusLine& status, std::wstring& list);
};
