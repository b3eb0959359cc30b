#include "runtime/TimeText.h"

namespace {

// The field a shape's letter stands for; nullptr for a character that stands for itself.
WORD* Field(SYSTEMTIME& time, wchar_t letter) {
    switch (letter) {
    case L'Y':
        return &time.wYear;
    case L'M':
        return &time.wMonth;
    case L'D':
        return &time.wDay;
    case L'h':
        return &time.wHour;
    case L'm':
        return &time.wMinute;
    case L's':
        return &time.wSecond;
    default:
        return nullptr;
    }
}

bool CanBe(const SYSTEMTIME& t) {
    const unsigned year = t.wYear;
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (t.wMonth < 1 || t.wMonth > 12 || t.wDay < 1 || t.wDay > kDays[t.wMonth - 1] + (t.wMonth == 2 && leap ? 1 : 0))
        return false;
    return t.wHour < 24 && t.wMinute < 60 && t.wSecond < 60;
}

}  // namespace

std::wstring TimeText(const SYSTEMTIME& time, std::wstring_view shape) {
    SYSTEMTIME copy = time;
    std::wstring text(shape);
    for (size_t at = 0; at < shape.size();) {
        const WORD* field = Field(copy, shape[at]);
        size_t end = at + 1;
        while (end < shape.size() && shape[end] == shape[at])
            ++end;
        if (field) {
            unsigned value = *field;
            for (size_t i = end; i-- > at; value /= 10)
                text[i] = static_cast<wchar_t>(L'0' + value % 10);
        }
        at = end;
    }
    return text;
}

std::optional<SYSTEMTIME> ParseTimeText(std::wstring_view text, std::wstring_view shape) {
    if (text.size() != shape.size())
        return std::nullopt;
    SYSTEMTIME time{};
    for (size_t i = 0; i < shape.size(); ++i) {
        WORD* field = Field(time, shape[i]);
        if (!field) {
            if (text[i] != shape[i])
                return std::nullopt;
            continue;
        }
        if (text[i] < L'0' || text[i] > L'9')
            return std::nullopt;
        *field = static_cast<WORD>(*field * 10 + (text[i] - L'0'));
    }
    if (!CanBe(time))
        return std::nullopt;
    return time;
}

std::uint64_t FileTimeOf(const SYSTEMTIME& utc) {
    FILETIME time;
    if (!SystemTimeToFileTime(&utc, &time))
        return 0;
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
}
