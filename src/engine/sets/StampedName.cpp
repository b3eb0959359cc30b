#include "engine/sets/StampedName.h"

#include <algorithm>
#include <tuple>
#include <utility>

#include "runtime/TimeText.h"

namespace {

constexpr wchar_t kShape[] = L"YYYY.MM.DD hh.mm.ss";
constexpr size_t kStampChars = std::size(kShape) - 1;

// " (n)" after the stamp: n, or 0 for anything else.
unsigned NumberOf(std::wstring_view rest) {
    if (rest.size() < 4 || rest.size() > 7 || rest.substr(0, 2) != L" (" || rest.back() != L')')
        return 0;
    std::wstring_view digits = rest.substr(2, rest.size() - 3);
    if (digits.front() == L'0' || !std::all_of(digits.begin(), digits.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; }))
        return 0;
    unsigned n = 0;
    for (wchar_t c : digits)
        n = n * 10 + static_cast<unsigned>(c - L'0');
    return n >= 2 ? n : 0;
}

auto TimeKey(const SYSTEMTIME& t) { return std::make_tuple(t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond); }

}  // namespace

std::wstring StampedName::Text() const {
    std::wstring text = TimeText(time, kShape);
    return number > 1 ? text + L" (" + std::to_wstring(number) + L")" : text;
}

std::optional<StampedName> StampedName::Parse(const std::wstring& name) {
    if (name.size() < kStampChars)
        return std::nullopt;
    std::optional<SYSTEMTIME> time = ParseTimeText(std::wstring_view(name).substr(0, kStampChars), kShape);
    if (!time)
        return std::nullopt;
    unsigned number = name.size() == kStampChars ? 1 : NumberOf(std::wstring_view(name).substr(kStampChars));
    if (number == 0)
        return std::nullopt;
    return StampedName{*time, number};
}

bool StampedName::SameTime(const StampedName& other) const { return TimeKey(time) == TimeKey(other.time); }

bool StampedName::operator<(const StampedName& other) const {
    return std::make_pair(TimeKey(time), number) < std::make_pair(TimeKey(other.time), other.number);
}
