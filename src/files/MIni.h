#pragma once
// Module MIni: one value at a time in a settings file of the platform's private-profile
// (INI) form. The file comes first in both procedures; section and key names match
// regardless of case, as the platform matches them.

#include <string>

namespace MIni {

// Stores the value under section and key, creating file, section and key as needed and
// replacing an earlier value. A write the platform cannot carry out is silent.
void WriteIni(const std::wstring& file, const std::wstring& section, const std::wstring& key,
              const std::wstring& value);

// The stored value, at most 254 characters (a longer one comes back cut); "" for a
// missing file, section or key. Not reentrant: every read reuses the module's buffer.
std::wstring ReadIni(const std::wstring& file, const std::wstring& section, const std::wstring& key);

}  // namespace MIni

// The module's procedures are callable unqualified too, like those of any module.
using MIni::ReadIni;
using MIni::WriteIni;
