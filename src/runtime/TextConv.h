#pragma once
// Conversions between the program's wide texts and 8-bit texts.

#include <initializer_list>
#include <string>

// UTF-8, for std::exception::what() and console output.
std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& utf8);

// True when every character of the text survives a round trip through the
// system's ANSI code page (what an 8-bit reader of a file would see).
bool FitsAnsiCodePage(const std::wstring& text);

// The pattern with %1, %2, ... replaced by the values in order.
std::wstring FillIn(const std::wstring& pattern, std::initializer_list<std::wstring> values);

// The text without leading and trailing spaces.
std::wstring Trim(const std::wstring& text);

// The text in lower case, as the system's locale-independent mapping gives it.
std::wstring LowerCase(std::wstring text);

// A number with its noun agreeing: "1 file", "7 files".
std::wstring Counted(unsigned long long count, const wchar_t* one, const wchar_t* many);
