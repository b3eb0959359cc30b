#pragma once
// Command lines built from arguments, quoted so that the C runtime and
// CommandLineToArgvW give each argument back as it was (spaces, quotes, and backslashes
// before a quote or at the end, as in "D:\").

#include <string>
#include <vector>

// One argument as it stands in a command line: unquoted when nothing in it needs
// quotes, else in quotes with the backslashes before each quote doubled.
std::wstring QuoteArgument(const std::wstring& argument);

// The arguments quoted and joined by single spaces.
std::wstring JoinArguments(const std::vector<std::wstring>& arguments);
