#pragma once
// The program under test, started as a user starts it. The process is killed when the
// object goes while it still runs, so a failed run never leaves it behind.

#include <windows.h>

#include <string>

#include "runtime/Handles.h"

class AppProcess {
public:
    explicit AppProcess(const std::wstring& exePath);  // throws E2eError when it cannot start
    ~AppProcess();
    AppProcess(const AppProcess&) = delete;
    AppProcess& operator=(const AppProcess&) = delete;

    DWORD Pid() const { return pid_; }
    bool Running() const;
    bool WaitExit(DWORD timeoutMs) const;
    DWORD ExitCode() const;  // STILL_ACTIVE while it runs
    void Kill();

private:
    KernelHandle process_;
    DWORD pid_ = 0;
};

// Kills every program that an AppProcess of this driver started and that still runs:
// the watchdog's last resort before the driver itself gives up.
void KillStartedApps();
