#pragma once
// The quick check that rsync and robocopy make: a file is taken for the same as another
// when both are files of the same size and last-write time, and then it is not copied.
// The times compare to the 100 ns that NTFS and the Linux file systems keep. Only where
// either side lies on a volume of the FAT family (FAT, FAT32, exFAT), which keeps times in
// steps of 2 seconds, is a difference of up to 2 seconds taken for that rounding, as
// rsync's --modify-window and robocopy's /FFT do: elsewhere a file rewritten a second
// after its copy is a changed file.

#include <cstdint>
#include <initializer_list>
#include <string>

struct DirEntry;

class QuickCheck {
public:
    // For files below these folders (empty ones are passed over).
    explicit QuickCheck(std::initializer_list<std::wstring> folders);

    bool Same(const DirEntry& a, const DirEntry& b) const;
    // The difference of last-write times taken for rounding, in 100-ns units.
    std::uint64_t Window() const { return window_; }

private:
    std::uint64_t window_ = 0;
};

// True when path lies on a volume of the FAT family; false too where the volume does not say.
bool IsOnFatVolume(const std::wstring& path);
