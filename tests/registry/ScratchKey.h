#pragma once
// A throw-away key under HKEY_CURRENT_USER\Software for registry tests, removed before and
// after each test (also when an earlier run left it locked), and raw registry helpers that
// build fixtures and check results without the code under test.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

// Below HKEY_CURRENT_USER; the name holds a space and a character outside the ANSI code page.
inline const std::wstring ScratchKeyPath = L"Software\\bkTrnwck Test \u03a9";

// Deletes a key with everything below it, first granting full access to any subkey whose
// access was narrowed by a test. Missing keys are fine.
void RemoveKeyTree(HKEY root, const std::wstring& path);

struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    bool operator==(const RawValue&) const = default;
};

RawValue TextData(const std::wstring& text, DWORD type = REG_SZ);  // with its NUL
RawValue DwordData(std::uint32_t number);
RawValue BinaryData(std::vector<BYTE> bytes);
RawValue AnsiBinaryData(const std::string& text);  // 8-bit characters and a NUL

void PrintTo(const RawValue& value, std::ostream* os);

class ScratchKeyTest : public testing::Test {
public:
    // Path of a key below the scratch key (or the scratch key itself for an empty name).
    static std::wstring Below(const std::wstring& relative);

    static void RawCreate(const std::wstring& relative);
    static bool RawKeyExists(const std::wstring& relative);
    static void RawSet(const std::wstring& relative, const std::wstring& valueName, const RawValue& value);
    static std::optional<RawValue> RawGet(const std::wstring& relative, const std::wstring& valueName);
    // Leaves only read access to everyone on the key.
    static void RawGrantReadOnly(const std::wstring& relative);

protected:
    void SetUp() override;
    void TearDown() override;
};

// The value the next new handle of the process would get. Handles are reused lowest-first
// (Wine) or last-freed-first (Windows), so after balanced opening and closing it is
// unchanged, and a handle left open moves it.
std::uintptr_t NextHandleValue();
