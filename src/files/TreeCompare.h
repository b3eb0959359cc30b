#pragma once
// Whether a folder copy is whole: every file below the source exists in the copy with
// the same size and the same last-write time (QuickCheck: within 2 seconds where either
// lies on a FAT-formatted stick), and every folder exists as a folder. Extra entries in the copy
// are fine (copies merge into what is there). One listing of each folder of both trees;
// no file content is read. Paths of any length are listed.

#include <cstddef>
#include <string>
#include <vector>

// What counts as a difference: Content, an entry missing in the copy or differing in
// kind, size or last-write time; Presence, only an entry whose name the copy lacks.
enum class Compare { Content, Presence };

// The entries below `source` that are missing or differ in `copy`, as paths relative to
// source ("" stands for source itself, when copy is no folder), in listing order, at
// most `limit` of them. A folder missing in the copy is one entry; nothing below it is
// listed. A listing that fails raises an AppError.
std::vector<std::wstring> TreeDifferences(const std::wstring& source, const std::wstring& copy,
                                          size_t limit = static_cast<size_t>(-1), Compare mode = Compare::Content);

// The first path below `source` (or `source` itself) that is missing or differs in
// `copy`, in listing order; empty when the copy holds everything.
std::wstring FirstDifference(const std::wstring& source, const std::wstring& copy);
