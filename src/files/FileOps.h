#pragma once
// File operations that report instead of deciding: each returns the platform's error
// with the path it concerns, and the caller chooses what the user is told.

#include <windows.h>

#include <string>

struct [[nodiscard]] FileResult {
    DWORD error = ERROR_SUCCESS;
    std::wstring path;  // the path the error concerns; empty on success

    bool Ok() const { return error == ERROR_SUCCESS; }
    static FileResult Success() { return {}; }
    static FileResult Failure(DWORD code, std::wstring where) { return {code ? code : ERROR_GEN_FAILURE, std::move(where)}; }
};

// Copies one file, replacing an existing destination; the destination folder must exist.
FileResult CopyOneFile(const std::wstring& source, const std::wstring& destination);
