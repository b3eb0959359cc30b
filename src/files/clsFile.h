#pragma once
// A small text-file writer.

#include <string>

class clsFile {
public:
    // Writes the text as the whole new content of the file (created, or emptied when it
    // exists), ended by a line end: in the ANSI code page when every character fits, else
    // as UTF-8 with a byte-order mark so that no character is lost. A file that cannot be
    // opened or written raises the platform's error as an AppError.
    void FileWrite(const std::wstring& strFileName, const std::wstring& strText) const;

    // As clsFileSystem's operations of the same names.
    std::wstring LastChar(const std::wstring& strText) const;
    std::wstring sRemoveLastChar(std::wstring sPassString) const;
};
