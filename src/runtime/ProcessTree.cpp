#include "runtime/ProcessTree.h"

#include "runtime/AppError.h"
#include "runtime/ArgumentQuote.h"
#include "runtime/Handles.h"

namespace {

constexpr wchar_t Source[] = L"RunProcessTree";

// The job, with a port that hears when its last process has ended.
struct WatchedJob {
    KernelHandle job;
    KernelHandle port;
};

WatchedJob MakeWatchedJob() {
    WatchedJob watched;
    watched.job.Reset(CreateJobObjectW(nullptr, nullptr));
    if (!watched.job)
        ThrowLastError(Source);
    watched.port.Reset(CreateIoCompletionPort(INVALID_HANDLE_VALUE, nullptr, 0, 1));
    if (!watched.port)
        ThrowLastError(Source);
    JOBOBJECT_ASSOCIATE_COMPLETION_PORT association{};
    association.CompletionKey = watched.job.Get();
    association.CompletionPort = watched.port.Get();
    if (!SetInformationJobObject(watched.job.Get(), JobObjectAssociateCompletionPortInformation, &association,
                                 sizeof association))
        ThrowLastError(Source);
    return watched;
}

DWORD ActiveProcesses(HANDLE job) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    if (!QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting, nullptr))
        return 0;
    return accounting.ActiveProcesses;
}

// Until the job holds no process. The port's message is the prompt answer; the count,
// read each second, covers a system that sends no such messages.
void WaitUntilEmpty(const WatchedJob& watched) {
    for (;;) {
        DWORD message = 0;
        ULONG_PTR key = 0;
        LPOVERLAPPED detail = nullptr;
        BOOL got = GetQueuedCompletionStatus(watched.port.Get(), &message, &key, &detail, 1000);
        if (got && message == JOB_OBJECT_MSG_ACTIVE_PROCESS_ZERO && key == reinterpret_cast<ULONG_PTR>(watched.job.Get()))
            return;
        if (ActiveProcesses(watched.job.Get()) == 0)
            return;
    }
}

}  // namespace

ProcessTreeEnd RunProcessTree(const std::wstring& program, const std::vector<std::wstring>& arguments,
                              const std::wstring& folder) {
    WatchedJob watched = MakeWatchedJob();
    std::wstring commandLine = QuoteArgument(program);
    if (!arguments.empty())
        commandLine += L" " + JoinArguments(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &started))
        ThrowLastError(program);
    KernelHandle process(started.hProcess);
    KernelHandle thread(started.hThread);

    ProcessTreeEnd end;
    if (!AssignProcessToJobObject(watched.job.Get(), process.Get())) {
        end.followed = false;
        end.followError = GetLastError();
    }
    // The player wants to play: the game runs even where its children cannot be followed.
    if (ResumeThread(thread.Get()) == static_cast<DWORD>(-1)) {
        DWORD error = GetLastError();
        TerminateProcess(process.Get(), error);
        throw AppError::FromWin32(error, program);
    }
    if (end.followed)
        WaitUntilEmpty(watched);
    WaitForSingleObject(process.Get(), INFINITE);
    GetExitCodeProcess(process.Get(), &end.exitCode);
    return end;
}
