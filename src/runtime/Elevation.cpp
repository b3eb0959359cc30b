#include "runtime/Elevation.h"

#include <shellapi.h>

#include "runtime/Handles.h"
#include "runtime/ProgramFile.h"
#include "runtime/WineHost.h"

namespace {

ElevationHook& Hook() {
    static ElevationHook hook;
    return hook;
}

// True when this process holds administrator rights (an elevated token).
bool IsElevated() {
    KernelHandle token;
    TOKEN_ELEVATION elevation{};
    DWORD returned = 0;
    return OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Receive()) &&
           GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &returned) &&
           elevation.TokenIsElevated != 0;
}

// UAC is on unless the policy "EnableLUA" turns it off; a system without the value has it on.
bool UacEnabled() {
    DWORD enabled = 1;
    DWORD size = sizeof(enabled);
    LSTATUS read = RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                                L"EnableLUA", RRF_RT_REG_DWORD, nullptr, &enabled, &size);
    return read != ERROR_SUCCESS || enabled != 0;
}

}  // namespace

bool CanAskForRights() {
    if (Hook())
        return true;
    return !WineVersion() && !IsElevated() && UacEnabled();
}

DWORD StartElevated(HWND owner, const std::wstring& parameters) {
    ElevatedStart start{L"runas", ThisProgram(), parameters};
    if (Hook())
        return Hook()(start);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = start.verb.c_str();
    info.lpFile = start.file.c_str();
    info.lpParameters = start.parameters.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExW(&info))
        return GetLastError();
    return ERROR_SUCCESS;
}

ElevationHook SetElevationHook(ElevationHook hook) {
    ElevationHook previous = std::move(Hook());
    Hook() = std::move(hook);
    return previous;
}
