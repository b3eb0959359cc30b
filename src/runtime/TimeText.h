#pragma once
// Times written as digits in a fixed shape, and read back from it: the names of dated and
// safety sets, the marker's time, the log's and the program's own records. In a shape,
// 'Y', 'M', 'D', 'h', 'm' and 's' stand for the digits of the year, month, day, hour,
// minute and second, as many as the letter is repeated; any other character stands for
// itself ("YYYY.MM.DD hh.mm.ss", "YYYY-MM-DDThh:mm:ssZ").

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

std::wstring TimeText(const SYSTEMTIME& time, std::wstring_view shape);

// The time the text holds in that shape, exactly, of a date and time that can be (no 29
// February outside a leap year, no hour 24); nothing otherwise. Fields the shape lacks are 0.
std::optional<SYSTEMTIME> ParseTimeText(std::wstring_view text, std::wstring_view shape);

// A time in UTC as a file time (100-ns intervals since 1601); 0 when it cannot be one.
std::uint64_t FileTimeOf(const SYSTEMTIME& utc);
