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

// Marks a file or folder immutable from the Linux side (chattr +i) for the lifetime of
// the object: Wine enforces no permissions for root, but the kernel refuses every change.
// Ok() is false when that cannot be done (not under Wine, no chattr).
class ImmutableScope {
public:
    explicit ImmutableScope(const std::wstring& path);
    ~ImmutableScope();
    ImmutableScope(const ImmutableScope&) = delete;
    ImmutableScope& operator=(const ImmutableScope&) = delete;
    bool Ok() const { return ok_; }

private:
    std::string unixPath_;
    bool ok_ = false;
};
