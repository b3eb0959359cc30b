#pragma once
// A name inside a game data tree, relative to the tree: "saves\slot 1\game.sav". The lists
// a job reads back from a folder (a set's manifest, a safety set's list of added files, a
// swap list) come from outside: a stick, a shared drive, another player. A restore may run
// with administrator rights, so a name from such a list is acted on only as this type,
// which can only be made from a name that stays inside the game's data:
//
// - relative, its parts separated by one separator ("\", or "/" in a manifest);
// - its first part "saves", "maps", "scores" or "tarnwick.cfg" (the file alone), or where
//   the list allows it, the per-user layer's folder before such a name, or the set's
//   manifest or marker alone;
// - no empty, "." or ".." part; no drive, root, UNC or device form;
// - no ":" (a stream), no wildcard or other character Windows refuses in a name, no
//   control character, no reserved device name (CON, NUL, COM1, LPT1..., also with an
//   extension), no part ending in a dot or a space;
// - no part over 255 characters, no name over MaxChars.

#include <optional>
#include <string>
#include <string_view>

// What a list may name beyond the game's data, and how it spells a name.
struct DataNameSyntax {
    wchar_t separator = L'\\';
    bool perUserLayer = false;  // a name may stand in the per-user layer's folder (a safety set)
    bool setFiles = false;      // the set's manifest or marker, alone (a backup's swap list)
};

class DataName {
public:
    using Syntax = DataNameSyntax;
    static constexpr Syntax Plain{L'\\', false, false};
    static constexpr Syntax Manifest{L'/', true, false};
    static constexpr Syntax AddedList{L'\\', true, false};
    static constexpr Syntax BackupSwap{L'\\', false, true};

    static constexpr std::size_t MaxChars = 32000;
    static constexpr std::size_t MaxPartChars = 255;

    // The name, or nothing when text is not a valid name in that syntax.
    static std::optional<DataName> Parse(std::wstring_view text, const Syntax& syntax = Plain);

    // Below the tree, with "\", the per-user layer's folder left out.
    const std::wstring& Relative() const { return relative_; }
    // The name stands in the per-user layer's folder of a safety set.
    bool InPerUserLayer() const { return perUserLayer_; }
    // As the list spells it: with the per-user layer's folder and the syntax's separator.
    std::wstring Spelled(const Syntax& syntax = Plain) const;

private:
    DataName(std::wstring relative, bool perUserLayer) : relative_(std::move(relative)), perUserLayer_(perUserLayer) {}

    std::wstring relative_;
    bool perUserLayer_ = false;
};
