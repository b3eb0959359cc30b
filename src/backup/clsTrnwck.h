#pragma once
// The game's data: copies the three game folders and the configuration file into a
// backup set, and back again, moving the running wizard on between the stages.

#include <deque>
#include <memory>
#include <string>

class clsTrnwck {
public:
    void BackupTrnwck();
    void RestoreTrnwck();

private:
    // One step of a breadth-first walk of a folder tree: takes the first folder of the
    // collection (starting it with strFolder), appends its sub-folders and counts
    // folders and files. Kept for a future use; no flow calls it.
    std::deque<std::wstring>& ScanFolderLevel(const std::wstring& strFolder, long& lngFolders, long& lngFiles);

    std::unique_ptr<std::deque<std::wstring>> folders_;

    friend class clsTrnwckScanTest;
};
