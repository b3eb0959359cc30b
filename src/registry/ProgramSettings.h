#pragma once
// The program's own settings, kept for the current user in
// HKEY_CURRENT_USER\Software\Glimmerfen Studios\Backup Tarnwick: texts by value name.

#include <string>

inline constexpr wchar_t SettingsKey[] = L"Software\\Glimmerfen Studios\\Backup Tarnwick";

// The text kept under the value name; "" when there is none.
std::wstring ReadSetting(const std::wstring& valueName);

// Keeps the text. A setting that cannot be written is not worth a message: whoever reads
// it then finds nothing and does as before.
void WriteSetting(const std::wstring& valueName, const std::wstring& text);
