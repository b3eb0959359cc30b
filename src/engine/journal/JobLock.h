#pragma once
// One backup or restore at a time for the user, across every running copy of the
// program: two jobs at once would set aside and copy over each other's data, and a
// program that starts while another one's job runs must not take that job's journal for
// one that was interrupted. A named mutex: the system lets it go when its owner ends,
// however it ends, so a killed job never blocks the next.

#include "runtime/Handles.h"

class JobLock {
public:
    // Takes the lock if nobody holds it; waits for nobody.
    JobLock();
    ~JobLock();
    JobLock(const JobLock&) = delete;
    JobLock& operator=(const JobLock&) = delete;

    // False when another running program holds it (a job of its own is running), or when
    // it cannot be had at all (Error).
    bool Held() const { return held_; }
    // Why the lock is not held: ERROR_BUSY for another program's job, else the system's
    // reason the lock could not be made or opened (a copy with administrator rights made
    // it, and this one may not open it).
    DWORD Error() const { return error_; }

private:
    KernelHandle mutex_;
    bool held_ = false;
    DWORD error_ = ERROR_SUCCESS;
};
