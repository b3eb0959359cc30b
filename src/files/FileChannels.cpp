#include "files/FileChannels.h"

#include <windows.h>

#include <map>

#include "runtime/AppError.h"
#include "runtime/Handles.h"

namespace FileChannels {

namespace {

const wchar_t kSource[] = L"FileChannels";

std::map<int, FileHandle>& Table() {
    static std::map<int, FileHandle> table;
    return table;
}

int LowestFreeNumber() {
    int number = 1;
    for (const auto& [used, handle] : Table()) {
        if (used != number)
            break;
        ++number;
    }
    return number;
}

}  // namespace

int OpenForOutput(const std::wstring& path) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        ThrowLastError(kSource);
    int number = LowestFreeNumber();
    Table().emplace(number, std::move(file));
    return number;
}

void Write(int channel, const std::string& bytes) {
    auto found = Table().find(channel);
    if (found == Table().end())
        throw AppError::FromWin32(ERROR_INVALID_HANDLE, kSource);
    DWORD written = 0;
    if (!WriteFile(found->second.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
        ThrowLastError(kSource);
    if (written != bytes.size())
        throw AppError::FromWin32(ERROR_WRITE_FAULT, kSource);
}

void Close(int channel) { Table().erase(channel); }

void CloseAll() { Table().clear(); }

std::size_t OpenCount() { return Table().size(); }

}  // namespace FileChannels
