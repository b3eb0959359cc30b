#pragma once
// Real faults for the tests, made from the Linux side under Wine: a file or folder the
// kernel refuses to change (chattr +i), and a small RAM disk mounted where a folder lies,
// for a disk that is full. Each undoes itself when it goes.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>

#include "runtime/Handles.h"

// Runs a shell command on the Linux side in folder, as a player checking a set with
// standard tools would; true when it exits with 0. nullopt where there is no Linux side.
std::optional<bool> LinuxCommandSucceeds(const std::wstring& folder, const std::string& command);

// A file held open by another program without sharing it, while the handle lives: it
// can be neither read nor replaced nor deleted.
FileHandle HoldOpen(const std::wstring& path);

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

// Mounts a RAM file system of `kilobytes` over the (existing, empty) folder for the
// lifetime of the object. Ok() is false where that cannot be done (not root, no mount).
class RamDiskScope {
public:
    RamDiskScope(const std::wstring& folder, unsigned kilobytes);
    ~RamDiskScope();
    RamDiskScope(const RamDiskScope&) = delete;
    RamDiskScope& operator=(const RamDiskScope&) = delete;
    bool Ok() const { return ok_; }

private:
    std::string unixPath_;
    bool ok_ = false;
};

// Makes a symbolic link at link (not there yet) to target from the Linux side, as a set
// from outside may hold one; Wine lists it as a reparse point, as Windows lists a junction
// or a symbolic link. False where that cannot be done (not under Wine).
bool MakeLinuxSymlink(const std::wstring& target, const std::wstring& link);

// Makes the folder read-only for the lifetime of the object, as a CD or a write-protected
// stick is: a bind mount over itself, remounted read-only. Ok() is false where that cannot
// be done (not root, no mount).
class ReadOnlyScope {
public:
    explicit ReadOnlyScope(const std::wstring& folder);
    ~ReadOnlyScope();
    ReadOnlyScope(const ReadOnlyScope&) = delete;
    ReadOnlyScope& operator=(const ReadOnlyScope&) = delete;
    bool Ok() const { return ok_; }

private:
    std::string unixPath_;
    bool mounted_ = false;
    bool ok_ = false;
};

// A removable drive: a drive letter that leads to a folder for the lifetime of the object,
// as a stick does, made from the Linux side (a link among the Wine prefix's dosdevices).
// TakeOut and PutBack pull the stick and plug it in again. Ok() is false where that cannot
// be done (not under Wine, or the letter is taken).
class RemovableDrive {
public:
    RemovableDrive(wchar_t letter, const std::wstring& folder);
    ~RemovableDrive();
    RemovableDrive(const RemovableDrive&) = delete;
    RemovableDrive& operator=(const RemovableDrive&) = delete;
    bool Ok() const { return ok_; }
    void TakeOut();
    void PutBack();

private:
    std::wstring folder_;
    std::string device_;  // the link's name, "q:"
    bool ok_ = false;
};
