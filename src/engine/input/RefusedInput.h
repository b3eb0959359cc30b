#pragma once
// Something a job found in a folder that it reads but does not own (a set folder, a
// staging folder, a safety set) and will not act on: a list with a line this program
// never writes, or a link (a junction or symbolic link) where only plain files and
// folders belong; or, in any folder it reads, two entries whose names differ only in
// case (as a Linux program can make them under Wine). The job refuses before it changes
// anything, naming it.

#include <cstddef>
#include <string>

struct RefusedInput {
    enum class Kind {
        ListLine,  // a list's line
        Link,      // a link
        CasePair,  // two entries of one folder whose names differ only in case
    };
    std::wstring path;      // the list, the link, or the first of the pair
    std::size_t line = 0;   // ListLine: the list's line, counted from 1
    std::wstring text;      // ListLine: that line, as it can be shown; CasePair: the second of the pair
    Kind kind = Kind::ListLine;

    bool IsLink() const { return kind == Kind::Link; }
    static RefusedInput Link(std::wstring path) { return {std::move(path), 0, {}, Kind::Link}; }
    // Windows, and Wine, find a file by its name whatever its case: a set can keep only one
    // of the two, and no job picks one in silence.
    static RefusedInput CasePair(std::wstring first, std::wstring second) {
        return {std::move(first), 0, std::move(second), Kind::CasePair};
    }
};
