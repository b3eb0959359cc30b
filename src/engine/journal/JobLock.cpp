#include "engine/journal/JobLock.h"

namespace {

// Per session: the journal it guards is per user.
const wchar_t kName[] = L"Local\\Glimmerfen Studios Backup Tarnwick job";

}  // namespace

JobLock::JobLock() : mutex_(CreateMutexW(nullptr, FALSE, kName)) {
    // Without the mutex nothing tells whether another program's job runs: no job starts.
    if (!mutex_) {
        error_ = GetLastError();
        if (error_ == ERROR_SUCCESS)
            error_ = ERROR_GEN_FAILURE;
        return;
    }
    // An abandoned mutex is one whose owner ended without letting go: free now.
    DWORD waited = WaitForSingleObject(mutex_.Get(), 0);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
    if (!held_)
        error_ = ERROR_BUSY;
}

JobLock::~JobLock() {
    if (held_ && mutex_)
        ReleaseMutex(mutex_.Get());
}
