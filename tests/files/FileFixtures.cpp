#include "FileFixtures.h"

#include <stdexcept>
#include <vector>

#include "runtime/Handles.h"
#include "runtime/TextConv.h"

CurrentFolderScope::CurrentFolderScope(const std::wstring& folder) {
    DWORD len = GetCurrentDirectoryW(0, nullptr);
    previous_.resize(len);
    previous_.resize(GetCurrentDirectoryW(len, previous_.data()));
    if (!SetCurrentDirectoryW(folder.c_str()))
        throw std::runtime_error("cannot change to " + Narrow(folder));
}

CurrentFolderScope::~CurrentFolderScope() { SetCurrentDirectoryW(previous_.c_str()); }

void WriteSizedFile(const std::wstring& path, std::uint64_t size) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (!file)
        throw std::runtime_error("cannot create " + Narrow(path));
    std::vector<char> block(64 * 1024, 'x');
    for (std::uint64_t left = size; left > 0;) {
        DWORD chunk = static_cast<DWORD>(left < block.size() ? left : block.size());
        DWORD written = 0;
        if (!WriteFile(file.Get(), block.data(), chunk, &written, nullptr) || written != chunk)
            throw std::runtime_error("cannot write " + Narrow(path));
        left -= chunk;
    }
}
