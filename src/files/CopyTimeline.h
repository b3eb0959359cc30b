#pragma once
// Where a copy's time goes, piece by piece, kept in memory only while a benchmark asks for
// it (FileCopier::SetTimeline): the wait for a free piece, the read, the write, the handoff
// to the hasher, and the hasher's own time. Times are QueryPerformanceCounter ticks.

#include <windows.h>

#include <atomic>
#include <cstddef>
#include <vector>

struct PieceTimes {
    std::size_t item = 0;
    LONGLONG wait = 0;     // for a free piece (the hasher behind)
    LONGLONG read = 0;
    LONGLONG write = 0;
    LONGLONG handoff = 0;  // to the hasher, or the hash itself on the copy's thread
};

class CopyTimeline {
public:
    static LONGLONG Now() {
        LARGE_INTEGER now;
        QueryPerformanceCounter(&now);
        return now.QuadPart;
    }
    static double Milliseconds(LONGLONG ticks) {
        LARGE_INTEGER frequency;
        QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(ticks) / static_cast<double>(frequency.QuadPart);
    }

    void Add(const PieceTimes& piece) { pieces.push_back(piece); }

    std::vector<PieceTimes> pieces;
    LONGLONG files = 0;                 // opening, stamping, times and attributes, closing: per file
    std::atomic<LONGLONG> hashing{0};   // the hasher's thread, hashing
};
