#include "registry/clsRegistry.h"

#include <windows.h>

#include <array>
#include <limits>
#include <stdexcept>
#include <type_traits>

#include "runtime/AppError.h"
#include "runtime/Handles.h"

namespace {

constexpr wchar_t Source[] = L"clsRegistry";

// Every key is opened with full access, also by the operations that only read, so a key
// the user may only read counts as missing.
constexpr REGSAM FullAccess = KEY_ALL_ACCESS;

// Names and data are read through buffers of 255 characters: a text of up to 254 characters
// and its NUL, or up to 255 bytes of other data. Longer data counts as no value at all.
constexpr DWORD BufferChars = 255;
constexpr DWORD BufferBytes = 255;

// A key opened for one operation, with the root it was opened below. A remote root is the
// connection to the other computer's registry, released when the operation ends.
struct OpenedKey {
    RegKey root;
    RegKey key;
};

HKEY PredefinedHandle(std::uint32_t predefinedKey) {
    // The root keys are 32-bit numbers sign-extended into handles (HKEY_LOCAL_MACHINE is
    // 0xFFFFFFFF80000002 on 64-bit Windows).
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<std::int32_t>(predefinedKey)));
}

std::wstring PathBelowRoot(const std::wstring& keyName) {
    if (!keyName.empty() && keyName.front() == L'\\')
        return keyName.substr(1);
    return keyName;
}

// The root to work below: the root key itself, or the connection to another computer's
// registry. A failed connection gives no root, so the operation goes on as for a missing key.
RegKey ConnectRoot(std::uint32_t predefinedKey, const std::wstring& computerName) {
    if (computerName.empty())
        return RegKey(PredefinedHandle(predefinedKey));
    HKEY remote = nullptr;
    if (RegConnectRegistryW(computerName.c_str(), PredefinedHandle(predefinedKey), &remote) != ERROR_SUCCESS)
        return RegKey();
    return RegKey(remote);
}

OpenedKey OpenKey(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& computerName) {
    OpenedKey opened{ConnectRoot(predefinedKey, computerName), RegKey()};
    if (!opened.root)
        return opened;
    HKEY key = nullptr;
    if (RegOpenKeyExW(opened.root.Get(), PathBelowRoot(keyName).c_str(), 0, FullAccess, &key) == ERROR_SUCCESS)
        opened.key.Reset(key);
    return opened;
}

[[noreturn]] void Raise(long number, const wchar_t* operation) { throw AppError(number, Source, operation); }

// Runs one operation; any failure inside it reaches the caller as this class's error with
// the operation's number and name.
template <class Body>
auto Guarded(long number, const wchar_t* operation, Body&& body) -> decltype(body()) {
    try {
        return body();
    } catch (const std::exception&) {
        Raise(number, operation);
    }
}

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

// The type of an existing value whose data fits the read buffer; false for a missing value
// and for one too long to read.
bool ProbeValue(HKEY key, const std::wstring& valueName, DWORD& type, DWORD& size) {
    type = 0;
    size = 0;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return false;
    DWORD capacity = IsTextType(type) ? BufferChars * sizeof(wchar_t) : BufferBytes;
    return size <= capacity;
}

// --- Conversions of the value to write: a failure raises through the guard. ---

template <class Data>
constexpr bool IsTextData = std::is_same_v<std::decay_t<Data>, std::wstring>;

std::wstring ToText(const RegistryData& value) {
    return std::visit(
        [](const auto& data) -> std::wstring {
            if constexpr (IsTextData<decltype(data)>)
                return data;
            else
                return std::to_wstring(static_cast<long long>(data));
        },
        value);
}

// A text holding one whole number in decimal, with spaces around it allowed.
long long WholeNumberOf(const std::wstring& text) {
    std::size_t first = text.find_first_not_of(L' ');
    if (first == std::wstring::npos)
        throw std::invalid_argument("no number");
    std::wstring digits = text.substr(first, text.find_last_not_of(L' ') - first + 1);
    std::size_t used = 0;
    long long number = std::stoll(digits, &used, 10);
    if (used != digits.size())
        throw std::invalid_argument("not a whole number");
    return number;
}

long long ToWholeNumber(const RegistryData& value) {
    return std::visit(
        [](const auto& data) -> long long {
            if constexpr (IsTextData<decltype(data)>)
                return WholeNumberOf(data);
            else
                return data;
        },
        value);
}

template <class Target>
Target ToRange(const RegistryData& value) {
    long long number = ToWholeNumber(value);
    if (number < std::numeric_limits<Target>::min() || number > std::numeric_limits<Target>::max())
        throw std::out_of_range("number out of range");
    return static_cast<Target>(number);
}

// --- Writes: a failed write raises through the guard. ---

void CheckWrite(LSTATUS status) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("registry write failed");
}

void WriteText(HKEY key, const std::wstring& valueName, const std::wstring& text) {
    auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    CheckWrite(RegSetValueExW(key, valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()), bytes));
}

void WriteDword(HKEY key, const std::wstring& valueName, std::int32_t number) {
    CheckWrite(RegSetValueExW(key, valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                              sizeof(number)));
}

// A binary value receives the decimal digits of the byte and a terminating NUL, as 8-bit
// characters. The length is always that of the byte's own digits, so a value given as
// "007" or " 7" writes "7" and its NUL and never more bytes than the text holds.
void WriteBinaryDigits(HKEY key, const std::wstring& valueName, std::uint8_t byte) {
    std::string digits = std::to_string(byte);
    CheckWrite(RegSetValueExW(key, valueName.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(digits.c_str()),
                              static_cast<DWORD>(digits.size() + 1)));
}

void WriteValue(HKEY key, const std::wstring& valueName, const RegistryData& value) {
    DWORD type = 0;
    DWORD size = 0;
    if (!ProbeValue(key, valueName, type, size)) {
        WriteText(key, valueName, ToText(value));
        return;
    }
    switch (type) {
    case REG_SZ:
        WriteText(key, valueName, ToText(value));
        return;
    case REG_DWORD:
        WriteDword(key, valueName, ToRange<std::int32_t>(value));
        return;
    case REG_BINARY:
        WriteBinaryDigits(key, valueName, ToRange<std::uint8_t>(value));
        return;
    default:
        return;  // values of other types stay as they are
    }
}

// --- Reads ---

RegistryValue ReadText(HKEY key, const std::wstring& valueName, DWORD size) {
    std::array<wchar_t, BufferChars> buffer{};
    DWORD bytes = size;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &bytes) !=
        ERROR_SUCCESS)
        return std::wstring();
    std::size_t chars = bytes / sizeof(wchar_t);
    // Only a terminating NUL is dropped: text stored without one keeps its last character.
    if (chars > 0 && buffer[chars - 1] == L'\0')
        --chars;
    return std::wstring(buffer.data(), chars);
}

// Reads up to 4 bytes into a 32-bit integer (little-endian); false when the data is longer.
bool ReadFourBytes(HKEY key, const std::wstring& valueName, std::uint32_t& number) {
    number = 0;
    DWORD bytes = sizeof(number);
    return RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&number), &bytes) ==
           ERROR_SUCCESS;
}

RegistryValue ReadDword(HKEY key, const std::wstring& valueName) {
    std::uint32_t number = 0;
    if (!ReadFourBytes(key, valueName, number))
        return std::int16_t{0};
    return static_cast<std::int32_t>(number);
}

// Binary data of 1 to 4 bytes is read as a number and must fit a byte; longer data is
// refused like a failed read.
RegistryValue ReadBinaryByte(HKEY key, const std::wstring& valueName) {
    std::uint32_t number = 0;
    if (!ReadFourBytes(key, valueName, number))
        return std::int16_t{0};
    if (number > 255)
        throw AppError::FromWin32(ERROR_ARITHMETIC_OVERFLOW, Source);
    return static_cast<std::uint8_t>(number);
}

// Reads a name through a buffer of 255 characters; empty text when the call fails.
template <class Enumerate>
std::wstring ReadName(Enumerate&& enumerate) {
    std::wstring name(BufferChars, L'\0');
    DWORD length = BufferChars;
    if (enumerate(name.data(), &length) != ERROR_SUCCESS)
        return std::wstring();
    name.resize(length);
    return name;
}

}  // namespace

bool clsRegistry::SetValue(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& valueName,
                           const RegistryData& value, const std::wstring& computerName) {
    return Guarded(11001, L"SetValue", [&] {
        OpenedKey opened = OpenKey(predefinedKey, keyName, computerName);
        if (!opened.key)
            Raise(11001, L"SetValue");
        WriteValue(opened.key.Get(), valueName, value);
        return true;
    });
}

RegistryValue clsRegistry::GetValue(std::uint32_t predefinedKey, const std::wstring& keyName,
                                    const std::wstring& valueName, const std::wstring& computerName) {
    OpenedKey opened = OpenKey(predefinedKey, keyName, computerName);
    if (!opened.key)
        return {};
    DWORD type = 0;
    DWORD size = 0;
    if (!ProbeValue(opened.key.Get(), valueName, type, size))
        return {};
    if (IsTextType(type))
        return ReadText(opened.key.Get(), valueName, size);
    if (type == REG_DWORD)
        return ReadDword(opened.key.Get(), valueName);
    if (type == REG_BINARY)
        return ReadBinaryByte(opened.key.Get(), valueName);
    // Other types (64-bit numbers, big-endian numbers, resource lists) are no text: their
    // bytes read as characters would be nonsense, so they give nothing.
    return {};
}

std::wstring clsRegistry::ListSubKey(std::uint32_t predefinedKey, const std::wstring& keyName, std::int32_t index,
                                     const std::wstring& computerName) {
    return Guarded(11003, L"ListSubKey", [&] {
        OpenedKey opened = OpenKey(predefinedKey, keyName, computerName);
        if (!opened.key)
            return std::wstring();
        return ReadName([&](wchar_t* name, DWORD* length) {
            FILETIME lastWrite{};
            return RegEnumKeyExW(opened.key.Get(), static_cast<DWORD>(index), name, length, nullptr, nullptr, nullptr,
                                 &lastWrite);
        });
    });
}

bool clsRegistry::DeleteValue(std::uint32_t predefinedKey, const std::wstring& keyName, const std::wstring& valueName,
                              const std::wstring& computerName) {
    return Guarded(11004, L"DeleteValue", [&] {
        OpenedKey opened = OpenKey(predefinedKey, keyName, computerName);
        if (!opened.key)
            return false;
        return RegDeleteValueW(opened.key.Get(), valueName.c_str()) == ERROR_SUCCESS;
    });
}

bool clsRegistry::CreateKey(std::uint32_t predefinedKey, const std::wstring& keyName,
                            const std::wstring& computerName) {
    return Guarded(11005, L"CreateKey", [&] {
        RegKey root = ConnectRoot(predefinedKey, computerName);
        if (!root)
            return false;
        RegKey created;
        return RegCreateKeyExW(root.Get(), PathBelowRoot(keyName).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                               FullAccess, nullptr, created.Receive(), nullptr) == ERROR_SUCCESS;
    });
}

bool clsRegistry::DeleteKey(std::uint32_t predefinedKey, const std::wstring& keyName,
                            const std::wstring& computerName) {
    return Guarded(11006, L"DeleteKey", [&] {
        RegKey root = ConnectRoot(predefinedKey, computerName);
        if (!root)
            return false;
        return RegDeleteKeyW(root.Get(), PathBelowRoot(keyName).c_str()) == ERROR_SUCCESS;
    });
}

std::wstring clsRegistry::ListSubValue(std::uint32_t predefinedKey, const std::wstring& keyName, std::int32_t index,
                                       const std::wstring& computerName) {
    return Guarded(11007, L"ListSubValue", [&] {
        OpenedKey opened = OpenKey(predefinedKey, keyName, computerName);
        if (!opened.key)
            return std::wstring();
        return ReadName([&](wchar_t* name, DWORD* length) {
            return RegEnumValueW(opened.key.Get(), static_cast<DWORD>(index), name, length, nullptr, nullptr, nullptr,
                                 nullptr);
        });
    });
}

bool clsRegistry::KeyExists(std::uint32_t predefinedKey, const std::wstring& keyName,
                            const std::wstring& computerName) {
    return Guarded(11008, L"KeyExists", [&] {
        OpenedKey opened = OpenKey(predefinedKey, keyName, computerName);
        return static_cast<bool>(opened.key);
    });
}
