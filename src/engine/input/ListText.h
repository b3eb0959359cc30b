#pragma once
// The lines of a list that a job reads back from a folder it does not own (see
// RefusedInput.h): UTF-8 text, each line ending in "\n" or "\r\n" (the last one may end
// without). Text that is not UTF-8, an empty line or a line the caller's decoder refuses
// makes the whole list refused, with the line named.

#include <functional>
#include <string>

#include "engine/input/RefusedInput.h"

struct ListLine {
    std::size_t number = 0;  // counted from 1
    std::wstring text;
};

// A list's file read whole (paths of any length), never through a link; a decoder of
// the list passes on the same, with Refused for a line it does not take.
struct ListRead {
    enum class State {
        Missing,     // not there
        Read,        // text holds it
        Refused,     // a link, or larger than the limit: refused names it
        Unreadable,  // there, but it cannot be read: error says why
    };
    State state = State::Missing;
    std::string text;
    RefusedInput refused;
    unsigned long error = 0;

    // Nothing there or all taken: what the list says may be acted on.
    bool Usable() const { return state == State::Missing || state == State::Read; }
    static ListRead RefusedAt(RefusedInput refused) { return {State::Refused, {}, std::move(refused), 0}; }
    static ListRead Taken() { return {State::Read, {}, {}, 0}; }
};
ListRead ReadListFile(const std::wstring& path, std::size_t limit);

// Decodes the list in text, read from path: each line, in order, goes to take, which
// returns whether it takes it. The first line that is empty, not UTF-8 or not taken
// refuses the whole list (the caller then drops what it took). The refusal quotes the line
// as a person can read it: at most 80 characters, each control byte and each byte that is
// not UTF-8 shown as \xNN.
ListRead DecodeListLines(const std::string& text, const std::wstring& path,
                         const std::function<bool(const ListLine&)>& take);
