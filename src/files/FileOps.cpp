#include "files/FileOps.h"

#include <cstdint>
#include <vector>

#include "files/DirSearch.h"
#include "files/ExistingFolder.h"
#include "files/FullPath.h"
#include "runtime/AppError.h"
#include "runtime/Handles.h"

namespace {

bool IsLongForm(const std::wstring& path) { return path.rfind(L"\\\\?\\", 0) == 0; }

DWORD AttributesOf(const std::wstring& longPath) { return GetFileAttributesW(longPath.c_str()); }

// Runs a walk that lists folders; a listing that fails becomes the walk's result.
template <class Walk>
FileResult Guarded(const std::wstring& where, Walk&& walk) {
    try {
        return walk();
    } catch (const AppError& e) {
        return FileResult::Failure(static_cast<DWORD>(e.Number()), where);
    }
}

FileResult CopyTreeLong(const std::wstring& from, const std::wstring& to) {
    DWORD attributes = AttributesOf(from);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileResult::Failure(GetLastError(), from);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return CopyOneFile(from, to);
    if (!CreateDirectoryW(to.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return FileResult::Failure(GetLastError(), to);
    if (!IsExistingFolder(to))
        return FileResult::Failure(ERROR_DIRECTORY, to);
    for (const DirEntry& entry : DirSearch::Everything(from)) {
        FileResult result = CopyTreeLong(from + L"\\" + entry.name, to + L"\\" + entry.name);
        if (!result.Ok())
            return result;
    }
    return FileResult::Success();
}

// Removes one entry whose attributes are known from its folder's listing: one call for
// a file, the listing and one call for a folder.
FileResult DeleteEntryLong(const std::wstring& path, DWORD attributes) {
    if (attributes & FILE_ATTRIBUTE_READONLY)
        SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return DeleteFileW(path.c_str()) ? FileResult::Success() : FileResult::Failure(GetLastError(), path);
    // A link to a folder goes by itself: what it leads to is not ours to remove.
    if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        for (const DirEntry& entry : DirSearch::Everything(path)) {
            FileResult result = DeleteEntryLong(path + L"\\" + entry.name, entry.attributes);
            if (!result.Ok())
                return result;
        }
    }
    return RemoveDirectoryW(path.c_str()) ? FileResult::Success() : FileResult::Failure(GetLastError(), path);
}

FileResult DeleteTreeLong(const std::wstring& path) {
    DWORD attributes = AttributesOf(path);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return DeleteEntryLong(path, attributes);
    DWORD code = GetLastError();
    bool gone = code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND;
    return gone ? FileResult::Success() : FileResult::Failure(code, path);
}

}  // namespace

FileResult CopyOneFile(const std::wstring& source, const std::wstring& destination) {
    if (CopyFileW(source.c_str(), destination.c_str(), FALSE))
        return FileResult::Success();
    return FileResult::Failure(GetLastError(), source);
}

std::wstring LongPath(const std::wstring& path) {
    if (IsLongForm(path))
        return path;
    std::wstring full = FullPath(path);
    if (full.empty())
        full = path;
    // The long-path form takes no "." or ".." and no trailing separator but at a root.
    while (full.size() > 3 && full.back() == L'\\')
        full.pop_back();
    if (full.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + full.substr(2);
    return L"\\\\?\\" + full;
}

std::wstring ShownPath(const std::wstring& path) {
    if (path.rfind(L"\\\\?\\UNC\\", 0) == 0)
        return L"\\\\" + path.substr(8);
    if (IsLongForm(path))
        return path.substr(4);
    return path;
}

std::wstring NearestExistingFolder(const std::wstring& path) {
    std::wstring folder = ShownPath(LongPath(path));
    while (!folder.empty() && !IsExistingFolder(folder)) {
        size_t cut = folder.find_last_of(L'\\');
        if (cut == std::wstring::npos)
            return {};
        folder.resize(cut);
    }
    return folder;
}

bool EntryExists(const std::wstring& path) {
    return !path.empty() && GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsLinkEntry(const std::wstring& path) {
    DWORD attributes = path.empty() ? INVALID_FILE_ATTRIBUTES : AttributesOf(LongPath(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

namespace {

FileResult Rename(const std::wstring& from, const std::wstring& to, DWORD flags) {
    // No copy flag: a rename that would have to copy fails instead of taking time.
    if (MoveFileExW(LongPath(from).c_str(), LongPath(to).c_str(), flags))
        return FileResult::Success();
    return FileResult::Failure(GetLastError(), from);
}

}  // namespace

FileResult RenameEntry(const std::wstring& from, const std::wstring& to) { return Rename(from, to, 0); }

FileResult RenameEntryDurably(const std::wstring& from, const std::wstring& to) {
    return Rename(from, to, MOVEFILE_WRITE_THROUGH);
}

FileResult MakeFolderPath(const std::wstring& folder) {
    std::wstring path = LongPath(folder);
    if (IsExistingFolder(path))
        return FileResult::Success();
    // Upwards to the first folder that exists, then down again making each level; the
    // drive root of the long form ("\\?\C:\") ends at index 6 and is never made.
    size_t cut = path.find_last_of(L'\\');
    if (cut != std::wstring::npos && cut > 6) {
        FileResult above = MakeFolderPath(path.substr(0, cut));
        if (!above.Ok())
            return above;
    }
    if (CreateDirectoryW(path.c_str(), nullptr) || IsExistingFolder(path))
        return FileResult::Success();
    return FileResult::Failure(GetLastError(), folder);
}

FileResult CopyTree(const std::wstring& source, const std::wstring& destination) {
    return Guarded(source, [&] { return CopyTreeLong(LongPath(source), LongPath(destination)); });
}

FileResult DeleteTree(const std::wstring& path) {
    return Guarded(path, [&] { return DeleteTreeLong(LongPath(path)); });
}

namespace {

void CollectFiles(const std::wstring& longFolder, const std::wstring& rel, std::vector<std::wstring>& files) {
    std::vector<DirEntry> entries = DirSearch::Everything(longFolder);
    for (const DirEntry& entry : entries) {
        if (!entry.IsFolder())
            files.push_back(rel + entry.name);
    }
    for (const DirEntry& entry : entries) {
        if (entry.IsFolder() && !(entry.attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            CollectFiles(longFolder + L"\\" + entry.name, rel + entry.name + L"\\", files);
    }
}

}  // namespace

std::vector<std::wstring> FilesBelow(const std::wstring& root) {
    std::vector<std::wstring> files;
    std::wstring longRoot = LongPath(root);
    if (IsExistingFolder(longRoot))
        CollectFiles(longRoot, L"", files);
    return files;
}

namespace {

bool ReadUpTo(const std::wstring& path, std::string& content, std::uint64_t limit) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.Get(), &size) || static_cast<std::uint64_t>(size.QuadPart) > limit)
        return false;
    content.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return content.empty() ||
           (ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read, nullptr) &&
            read == content.size());
}

}  // namespace

bool ReadSmallFile(const std::wstring& path, std::string& content) { return ReadUpTo(path, content, 1 << 20); }

bool ReadWholeFile(const std::wstring& path, std::string& content) {
    return ReadUpTo(LongPath(path), content, 256u << 20);
}

FileResult WriteWholeFile(const std::wstring& path, const std::string& content) {
    FileHandle file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return FileResult::Failure(GetLastError(), path);
    DWORD written = 0;
    if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) ||
        written != content.size())
        return FileResult::Failure(GetLastError(), path);
    return FileResult::Success();
}

FileResult FlushFile(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file || !FlushFileBuffers(file.Get()))
        return FileResult::Failure(GetLastError(), path);
    return FileResult::Success();
}

FileResult ReplaceWithFile(const std::wstring& temporary, const std::wstring& final) {
    if (MoveFileExW(temporary.c_str(), final.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return FileResult::Success();
    return FileResult::Failure(GetLastError(), final);
}

FileResult WriteFileDurably(const std::wstring& path, const std::string& content) {
    const std::wstring temporary = path + L".new";
    FileResult written = [&] {
        FileHandle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, nullptr));
        if (!file)
            return FileResult::Failure(GetLastError(), temporary);
        DWORD done = 0;
        if (!WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &done, nullptr) ||
            done != content.size() || !FlushFileBuffers(file.Get()))
            return FileResult::Failure(GetLastError(), temporary);
        return FileResult::Success();
    }();
    if (written.Ok())
        written = ReplaceWithFile(temporary, path);
    if (!written.Ok())
        DeleteFileW(temporary.c_str());
    return written;
}
