#pragma once
// Whether the program runs under Wine on Linux (or another Unix), and the Unix names of
// its files there. On Windows every answer is empty.

#include <optional>
#include <string>

// Wine's version ("8.0"), from ntdll's wine_get_version; nothing on Windows.
std::optional<std::wstring> WineVersion();

// The Unix path of a Windows path (Wine's kernel32 wine_get_unix_file_name); nothing on
// Windows or for a path Wine cannot map.
std::optional<std::wstring> UnixPathOf(const std::wstring& windowsPath);

// The Unix locale that decides how Wine spells non-ASCII file names on the Unix side
// (LC_ALL, else LC_CTYPE, else LANG, as the C library reads them); nothing when none is set
// or on Windows. Another run of Wine must use the same one to find the same files.
std::optional<std::wstring> WineFileNameLocale();

// The Unix path of the Wine prefix the program runs in ("/home/ann/.wine"); nothing on
// Windows.
std::optional<std::wstring> WinePrefixPath();
