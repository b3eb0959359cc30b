#pragma once
// Fixture pieces shared by the file-service tests.

#include <windows.h>

#include <cstdint>
#include <string>

// Makes a folder the current one for the lifetime of the object.
class CurrentFolderScope {
public:
    explicit CurrentFolderScope(const std::wstring& folder);
    ~CurrentFolderScope();
    CurrentFolderScope(const CurrentFolderScope&) = delete;
    CurrentFolderScope& operator=(const CurrentFolderScope&) = delete;

private:
    std::wstring previous_;
};

// A file of exactly `size` bytes.
void WriteSizedFile(const std::wstring& path, std::uint64_t size);
