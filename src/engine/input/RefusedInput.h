#pragma once
// Something a job found in a folder that it reads but does not own (a set folder, a
// staging folder, a safety set) and will not act on: a list with a line this program
// never writes, or a link (a junction or symbolic link) where only plain files and
// folders belong. The job refuses before it changes anything, naming it.

#include <cstddef>
#include <string>

struct RefusedInput {
    std::wstring path;      // the list, or the link
    std::size_t line = 0;   // the list's line, counted from 1; 0 for a link
    std::wstring text;      // that line, as it can be shown

    bool IsLink() const { return line == 0; }
    static RefusedInput Link(std::wstring path) { return {std::move(path), 0, {}}; }
};
