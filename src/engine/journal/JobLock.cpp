#include "engine/journal/JobLock.h"

namespace {

// Per session: the journal it guards is per user.
const wchar_t kName[] = L"Local\\Glimmerfen Studios Backup Tarnwick job";

}  // namespace

JobLock::JobLock() : mutex_(CreateMutexW(nullptr, FALSE, kName)) {
    // Without a mutex there is nothing to guard with: a rare second job is less harm
    // than a program that refuses every job.
    if (!mutex_) {
        held_ = true;
        return;
    }
    // An abandoned mutex is one whose owner ended without letting go: free now.
    DWORD waited = WaitForSingleObject(mutex_.Get(), 0);
    held_ = waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

JobLock::~JobLock() {
    if (held_ && mutex_)
        ReleaseMutex(mutex_.Get());
}
