#include "files/WriteProbe.h"

#include <windows.h>

#include <atomic>

#include "runtime/Handles.h"

namespace {

// This process's id, a count and the time: no two probes, of this run or any other, share a name.
std::wstring ProbeName() {
    static std::atomic<unsigned> count{0};
    return L".bkTrnwck write check " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++count) +
           L"-" + std::to_wstring(GetTickCount64()) + L".tmp";
}

}  // namespace

FileResult ProbeWrite(const std::wstring& folder) {
    const std::wstring probe = LongPath(folder + (folder.ends_with(L'\\') ? L"" : L"\\") + ProbeName());
    FileHandle file(CreateFileW(probe.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
    if (!file)
        return FileResult::Failure(GetLastError(), folder);
    return FileResult::Success();
}

bool IsLackOfRights(DWORD error) { return error == ERROR_ACCESS_DENIED || error == ERROR_PRIVILEGE_NOT_HELD; }
