#include "FileTree.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "E2eError.h"

namespace fs = std::filesystem;

namespace {

std::wstring Key(std::wstring path) {
    if (!path.empty())
        CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

std::wstring FirstComponent(const std::wstring& relativePath) {
    return relativePath.substr(0, relativePath.find(L'\\'));
}

}  // namespace

FileTree FileTree::Read(const std::wstring& root) {
    FileTree tree;
    std::error_code ec;
    if (!fs::is_directory(fs::path(root), ec))
        return tree;
    for (auto it = fs::recursive_directory_iterator(fs::path(root), ec); !ec && it != fs::end(it); it.increment(ec)) {
        TreeEntry entry;
        entry.relativePath = it->path().lexically_relative(fs::path(root)).make_preferred().wstring();
        entry.isFolder = it->is_directory();
        if (!entry.isFolder)
            entry.bytes = ReadBytes(it->path().wstring());
        tree.Add(std::move(entry));
    }
    if (ec)
        throw E2eError(L"cannot read the folder " + root);
    return tree;
}

const TreeEntry* FileTree::Find(const std::wstring& relativePath) const {
    auto it = entries_.find(Key(relativePath));
    return it == entries_.end() ? nullptr : &it->second;
}

void FileTree::Add(TreeEntry entry) {
    std::wstring key = Key(entry.relativePath);
    entries_[key] = std::move(entry);
}

FileTree FileTree::Below(const std::wstring& topName) const {
    FileTree part;
    for (const auto& [key, entry] : entries_)
        if (FirstComponent(key) == Key(topName))
            part.Add(entry);
    return part;
}

size_t FileTree::FileCount() const {
    size_t count = 0;
    for (const auto& [key, entry] : entries_)
        count += entry.isFolder ? 0 : 1;
    return count;
}

std::wstring DifferenceOf(const TreeEntry& expected, const TreeEntry* actual) {
    if (!actual)
        return expected.relativePath + L": missing";
    if (expected.isFolder != actual->isFolder)
        return expected.relativePath + (expected.isFolder ? L": a file instead of a folder" : L": a folder instead of a file");
    if (expected.bytes != actual->bytes)
        return expected.relativePath + L": content differs (" + std::to_wstring(actual->bytes.size()) + L" bytes, " +
               std::to_wstring(expected.bytes.size()) + L" expected)";
    return {};
}

std::vector<std::wstring> CompareTrees(const FileTree& expected, const FileTree& actual) {
    std::vector<std::wstring> differences;
    for (const auto& [key, entry] : expected.Entries()) {
        std::wstring difference = DifferenceOf(entry, actual.Find(entry.relativePath));
        if (!difference.empty())
            differences.push_back(difference);
    }
    for (const auto& [key, entry] : actual.Entries())
        if (!expected.Find(entry.relativePath))
            differences.push_back(entry.relativePath + L": not expected");
    return differences;
}

bool PathExists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool IsFolder(const std::wstring& path) {
    DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsEmptyFolder(const std::wstring& path) {
    std::error_code ec;
    return IsFolder(path) && fs::is_empty(fs::path(path), ec) && !ec;
}

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in)
        throw E2eError(L"cannot read " + path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
    MakeFolders(fs::path(path).parent_path().wstring());
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw E2eError(L"cannot write " + path);
}

void CopyTree(const std::wstring& from, const std::wstring& to) {
    std::error_code ec;
    MakeFolders(to);
    fs::copy(fs::path(from), fs::path(to), fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    if (ec)
        throw E2eError(L"cannot copy " + from + L" to " + to);
}

void RemoveTree(const std::wstring& path) {
    std::error_code ec;
    if (!fs::exists(fs::path(path), ec))
        return;
    // Read-only files would stop remove_all.
    for (auto it = fs::recursive_directory_iterator(fs::path(path), ec); !ec && it != fs::end(it); it.increment(ec))
        SetFileAttributesW(it->path().c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(fs::path(path), ec);
    if (ec)
        throw E2eError(L"cannot remove " + path);
}

void MakeFolders(const std::wstring& path) {
    std::error_code ec;
    fs::create_directories(fs::path(path), ec);
    if (ec)
        throw E2eError(L"cannot create the folder " + path);
}
