#include "Deadline.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<ULONGLONG> deadline{0};

}  // namespace

void SetRunDeadline(DWORD fromNowMs) { deadline = GetTickCount64() + fromNowMs; }

DWORD LimitToDeadline(DWORD timeoutMs) {
    ULONGLONG end = deadline;
    if (end == 0)
        return timeoutMs;
    ULONGLONG now = GetTickCount64();
    ULONGLONG left = end > now ? end - now : 0;
    return static_cast<DWORD>(std::min<ULONGLONG>(timeoutMs, left));
}
