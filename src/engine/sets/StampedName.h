#pragma once
// The name of a folder the program makes for a set of one moment, dated sets and safety
// sets alike: the local time "yyyy.mm.dd hh.mm.ss", then " (2)", " (3)"... for a second
// set of the same name (two in one second, or the hour the clock repeats in autumn). The
// names sort as the times they name, and within one time by their number.

#include <windows.h>

#include <optional>
#include <string>

struct StampedName {
    SYSTEMTIME time{};    // local, as named
    unsigned number = 1;  // 1 for the name without " (n)"

    std::wstring Text() const;
    // Exactly that shape, of a date and time that can be, n from 2 to 9999 without a
    // leading zero; nothing otherwise.
    static std::optional<StampedName> Parse(const std::wstring& name);
    // Of the same time named, whatever the number.
    bool SameTime(const StampedName& other) const;
    // Earlier by the time named, then by number.
    bool operator<(const StampedName& other) const;
};
