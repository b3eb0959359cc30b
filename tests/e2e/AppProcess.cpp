#include "AppProcess.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "E2eError.h"
#include "Log.h"

namespace {

// Handles of the programs still running, for the watchdog thread.
std::mutex& LiveLock() {
    static std::mutex lock;
    return lock;
}
std::vector<HANDLE>& Live() {
    static std::vector<HANDLE> live;
    return live;
}

std::wstring FolderOf(const std::wstring& path) {
    size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring{} : path.substr(0, slash);
}

}  // namespace

AppProcess::AppProcess(const std::wstring& exePath) {
    STARTUPINFOW si{};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi{};
    std::wstring commandLine = L"\"" + exePath + L"\"";
    std::wstring folder = FolderOf(exePath);
    if (!CreateProcessW(exePath.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
        DWORD error = GetLastError();
        throw E2eError(L"cannot start " + exePath + L": error " + std::to_wstring(error) + L" (" +
                       Win32Message(error) + L")");
    }
    CloseHandle(pi.hThread);
    process_.Reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    std::lock_guard guard(LiveLock());
    Live().push_back(process_.Get());
}

AppProcess::~AppProcess() {
    Kill();
    std::lock_guard guard(LiveLock());
    std::erase(Live(), process_.Get());
}

bool AppProcess::Running() const { return !WaitExit(0); }

bool AppProcess::WaitExit(DWORD timeoutMs) const {
    return WaitForSingleObject(process_.Get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD AppProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(process_.Get(), &code);
    return code;
}

void AppProcess::Kill() {
    if (!Running())
        return;
    Log(L"killing the program (pid " + std::to_wstring(pid_) + L")");
    TerminateProcess(process_.Get(), 255);
    WaitExit(5000);
}

void KillStartedApps() {
    std::lock_guard guard(LiveLock());
    for (HANDLE process : Live())
        TerminateProcess(process, 255);
}
