#pragma once
// Folder trees read into memory, to compare what the program left on disk with what it had
// to copy. Paths inside a tree are relative to its root and matched without regard to case.

#include <map>
#include <string>
#include <vector>

struct TreeEntry {
    std::wstring relativePath;  // as found on disk
    bool isFolder = false;
    std::string bytes;  // a file's whole content
};

class FileTree {
public:
    // Every folder and file below root; an empty tree when root does not exist.
    static FileTree Read(const std::wstring& root);

    const TreeEntry* Find(const std::wstring& relativePath) const;
    void Add(TreeEntry entry);
    // The entries whose path lies below (or is) the given top-level name, e.g. "saves".
    FileTree Below(const std::wstring& topName) const;
    size_t FileCount() const;
    const std::map<std::wstring, TreeEntry>& Entries() const { return entries_; }

private:
    std::map<std::wstring, TreeEntry> entries_;  // by upper-cased relative path
};

// What differs between the two trees, one line per entry; empty when they are equal.
std::vector<std::wstring> CompareTrees(const FileTree& expected, const FileTree& actual);
// Whether the entry in the tree matches the expected one (kind and bytes); names the difference.
std::wstring DifferenceOf(const TreeEntry& expected, const TreeEntry* actual);

bool PathExists(const std::wstring& path);
bool IsFolder(const std::wstring& path);
bool IsEmptyFolder(const std::wstring& path);
std::string ReadBytes(const std::wstring& path);  // throws E2eError
void WriteBytes(const std::wstring& path, const std::string& bytes);  // creates missing folders
void CopyTree(const std::wstring& from, const std::wstring& to);
void RemoveTree(const std::wstring& path);
void MakeFolders(const std::wstring& path);
