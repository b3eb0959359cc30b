#pragma once
// Whether a folder copy is whole: every file below the source exists in the copy with
// the same size, and every folder exists as a folder. Extra entries in the copy are
// fine (copies merge into what is there). One listing of each folder of both trees;
// no file content is read.

#include <string>

// The first path below `source` (or `source` itself) that is missing or differs in
// `copy`, in listing order; empty when the copy holds everything.
std::wstring FirstDifference(const std::wstring& source, const std::wstring& copy);
