#include "engine/input/DataName.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <vector>

#include "engine/game/GameLayout.h"

namespace {

// Device names are ASCII: compared letter by letter, which costs far less than asking
// the platform for each part of every name.
bool EqualAsciiNoCase(std::wstring_view a, std::wstring_view b) {
    auto upper = [](wchar_t c) { return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [&](wchar_t x, wchar_t y) {
               return upper(x) == upper(y);
           });
}

// The data folders' names compare as the file system compares names.
bool EqualNoCase(std::wstring_view a, std::wstring_view b) {
    return a.size() == b.size() &&
           CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
               CSTR_EQUAL;
}

bool IsRefusedChar(wchar_t c) {
    return c < 0x20 || c == 0x7F || std::wstring_view(L"<>:\"/\\|?*").find(c) != std::wstring_view::npos;
}

// CON, PRN, AUX, NUL, COM0-9, LPT0-9 (and the superscript digits Windows also takes),
// CONIN$, CONOUT$: with any extension, and spaces before it, the name is the device.
bool IsDeviceName(std::wstring_view part) {
    std::wstring_view base = part.substr(0, part.find(L'.'));
    while (!base.empty() && base.back() == L' ')
        base.remove_suffix(1);
    if (base.size() < 3 || base.size() > 7)
        return false;
    for (std::wstring_view device : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
        if (EqualAsciiNoCase(base, device))
            return true;
    }
    if (base.size() != 4 || !(EqualAsciiNoCase(base.substr(0, 3), L"COM") || EqualAsciiNoCase(base.substr(0, 3), L"LPT")))
        return false;
    wchar_t digit = base[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00B9' || digit == L'\u00B2' || digit == L'\u00B3';
}

bool IsValidPart(std::wstring_view part) {
    if (part.empty() || part.size() > DataName::MaxPartChars || part == L"." || part == L"..")
        return false;
    if (part.back() == L'.' || part.back() == L' ')
        return false;
    if (std::any_of(part.begin(), part.end(), IsRefusedChar))
        return false;
    return !IsDeviceName(part);
}

// "Tarnwick_yyyy.mm.dd.BAK", the marker a backup writes.
bool IsMarkerName(std::wstring_view part) {
    const std::wstring_view pattern = L"Tarnwick_dddd.dd.dd.BAK";
    if (part.size() != pattern.size())
        return false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        bool digit = pattern[i] == L'd';
        if (digit ? !(part[i] >= L'0' && part[i] <= L'9') : !EqualAsciiNoCase(part.substr(i, 1), pattern.substr(i, 1)))
            return false;
    }
    return true;
}

bool IsDataFolder(std::wstring_view part) {
    return std::any_of(std::begin(game::FolderNames), std::end(game::FolderNames),
                       [&](const wchar_t* name) { return EqualNoCase(part, name); });
}

// Whether parts, from first on, name something of the game's data (or, where the syntax
// allows it, a file of the set itself).
bool NamesGameData(const std::vector<std::wstring_view>& parts, size_t first, const DataName::Syntax& syntax) {
    if (first >= parts.size())
        return false;
    std::wstring_view top = parts[first];
    bool alone = parts.size() == first + 1;
    if (IsDataFolder(top))
        return true;
    if (EqualNoCase(top, game::ConfigName))
        return alone;
    return syntax.setFiles && first == 0 && alone && (EqualNoCase(top, game::ManifestName) || IsMarkerName(top));
}

}  // namespace

std::optional<DataName> DataName::Parse(std::wstring_view text, const Syntax& syntax) {
    if (text.empty() || text.size() > MaxChars)
        return std::nullopt;
    std::vector<std::wstring_view> parts;
    for (size_t start = 0;;) {
        size_t cut = text.find(syntax.separator, start);
        parts.push_back(text.substr(start, cut == std::wstring_view::npos ? std::wstring_view::npos : cut - start));
        if (cut == std::wstring_view::npos)
            break;
        start = cut + 1;
    }
    if (!std::all_of(parts.begin(), parts.end(), IsValidPart))
        return std::nullopt;
    bool layered = syntax.perUserLayer && EqualNoCase(parts.front(), game::PerUserLayerName);
    if (!NamesGameData(parts, layered ? 1 : 0, syntax))
        return std::nullopt;
    std::wstring relative;
    for (size_t i = layered ? 1 : 0; i < parts.size(); ++i)
        relative.append(relative.empty() ? L"" : L"\\").append(parts[i]);
    return DataName(std::move(relative), layered);
}

std::wstring DataName::Spelled(const Syntax& syntax) const {
    std::wstring text = perUserLayer_ ? std::wstring(game::PerUserLayerName) + L"\\" + relative_ : relative_;
    std::replace(text.begin(), text.end(), L'\\', syntax.separator);
    return text;
}
