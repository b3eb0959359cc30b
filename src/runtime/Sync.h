#pragma once
// The program's kit for handing work between threads: a lock, a condition to wait on under
// it, and a thread that is joined when it goes. It stands on the platform's own slim lock
// and condition variable (SRWLOCK, CONDITION_VARIABLE): on Windows they stay in user mode
// while nobody waits, and Wine backs them with futexes. std::mutex and
// std::condition_variable from mingw-w64's posix threads wait on semaphores instead, and
// under Wine every such wait or release is a call into the wineserver: some 220 µs a
// round trip between two threads, against about 30 µs here.

#include <windows.h>

#include <functional>

#include "runtime/Handles.h"

class Lock {
public:
    Lock() = default;
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

    SRWLOCK* Native() { return &lock_; }

private:
    SRWLOCK lock_ = SRWLOCK_INIT;
};

// Holds the lock exclusively for its scope; may let it go and take it again in between.
class LockHold {
public:
    explicit LockHold(Lock& lock) : lock_(lock) { AcquireSRWLockExclusive(lock_.Native()); }
    ~LockHold() {
        if (held_)
            ReleaseSRWLockExclusive(lock_.Native());
    }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

    void Unlock() {
        ReleaseSRWLockExclusive(lock_.Native());
        held_ = false;
    }
    void Relock() {
        AcquireSRWLockExclusive(lock_.Native());
        held_ = true;
    }
    Lock& Held() { return lock_; }

private:
    Lock& lock_;
    bool held_ = true;
};

// What threads wait on under a lock until a state they share is reached. A waker changes
// the state under the lock, then wakes; a waiter sleeps only while the state is not reached.
// The condition counts who sleeps on it, under the same lock, so that a waker can leave
// out the wake (a call into the system) when nobody sleeps.
class Condition {
public:
    Condition() = default;
    Condition(const Condition&) = delete;
    Condition& operator=(const Condition&) = delete;

    template <class Reached>
    void Wait(LockHold& hold, Reached reached) {
        while (!reached())
            SleepOnce(hold, INFINITE);
    }

    // As Wait, for at most timeoutMs in all (INFINITE: no end); the state reached or not, at the end.
    template <class Reached>
    bool WaitFor(LockHold& hold, DWORD timeoutMs, Reached reached) {
        if (timeoutMs == INFINITE) {
            Wait(hold, reached);
            return true;
        }
        const ULONGLONG end = GetTickCount64() + timeoutMs;
        while (!reached()) {
            ULONGLONG now = GetTickCount64();
            if (now >= end)
                return false;
            SleepOnce(hold, static_cast<DWORD>(end - now));
        }
        return true;
    }

    // True while a thread sleeps here; asked under the lock.
    bool Sleeping() const { return sleepers_ > 0; }
    void WakeOne() { WakeConditionVariable(&condition_); }
    void WakeAll() { WakeAllConditionVariable(&condition_); }

private:
    void SleepOnce(LockHold& hold, DWORD timeoutMs) {
        ++sleepers_;
        SleepConditionVariableSRW(&condition_, hold.Held().Native(), timeoutMs, 0);
        --sleepers_;
    }

    CONDITION_VARIABLE condition_ = CONDITION_VARIABLE_INIT;
    int sleepers_ = 0;
};

// A thread of the program's: runs body, and is joined when it goes (or by Join). An
// exception that leaves body ends the process, as it would on any thread.
class Thread {
public:
    Thread() = default;
    explicit Thread(std::function<void()> body);
    ~Thread() { Join(); }
    Thread(Thread&& other) noexcept = default;
    // Joins the thread held before.
    Thread& operator=(Thread&& other) noexcept;

    bool Running() const { return handle_.Valid(); }
    // Waits up to timeoutMs for the body to end; true when it has (or there is none).
    bool WaitFor(DWORD timeoutMs) const;
    void Join();

private:
    KernelHandle handle_;
};
