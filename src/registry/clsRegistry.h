#pragma once
// General access to the registry: single values, listings one index at a time, and keys.
// Every operation opens what it needs, does one thing and closes it again; the class keeps
// no state. A non-empty computer name makes the operation work on that computer's registry.
// Key names are paths below the root key; one leading "\" is dropped, the rest used as given.

#include <cstdint>
#include <string>
#include <variant>

// The root keys as the numbers the operations take.
inline constexpr std::uint32_t HkeyClassesRoot = 0x80000000;
inline constexpr std::uint32_t HkeyCurrentUser = 0x80000001;
inline constexpr std::uint32_t HkeyLocalMachine = 0x80000002;
inline constexpr std::uint32_t HkeyUsers = 0x80000003;

// What GetValue returns: nothing (no such key or value, or data too long to read), text
// (possibly empty), a byte (REG_BINARY), a 32-bit integer (REG_DWORD), or the 16-bit zero of
// a binary or 32-bit value that could not be read a second time.
using RegistryValue = std::variant<std::monostate, std::wstring, std::uint8_t, std::int32_t, std::int16_t>;

// What SetValue writes: text or a number, converted to the type of the value it replaces.
using RegistryData = std::variant<std::wstring, std::int32_t, std::uint8_t, std::int16_t>;

class clsRegistry {
public:
    // Writes a value into an existing key. A missing value is created as text; an existing
    // one keeps its type (text, 32-bit integer, binary); values of other types stay as they
    // are. Raises 11001 when the key cannot be opened, the value cannot be converted to the
    // existing type, or the write fails.
    bool SetValue(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& valueName,
                  const RegistryData& value, const std::wstring& computerName = {});

    // Reads a value; an empty name reads the key's default value. Never raises an error of its
    // own; a binary reading above 255 raises the overflow error of the conversion to a byte.
    RegistryValue GetValue(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& valueName,
                           const std::wstring& computerName = {});

    // The name of the subkey at index, or empty text past the end (or when the key cannot be opened).
    std::wstring ListSubKey(std::uint32_t predefinedKey, const std::wstring& keyName, std::int32_t index,
                            const std::wstring& computerName = {});

    bool DeleteValue(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& valueName,
                     const std::wstring& computerName = {});

    // True when the key was created or already existed.
    bool CreateKey(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& computerName = {});

    // Deletes the key; whether a key with subkeys can go is the platform's rule.
    bool DeleteKey(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& computerName = {});

    // The name of the value at index, or empty text past the end (or when the key cannot be opened).
    std::wstring ListSubValue(std::uint32_t predefinedKey, const std::wstring& keyName, std::int32_t index,
                              const std::wstring& computerName = {});

    // True when the key can be opened with full access.
    bool KeyExists(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& computerName = {});
};
