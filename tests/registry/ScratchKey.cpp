#include "ScratchKey.h"

#include <aclapi.h>
#include <sddl.h>

#include <ostream>
#include <stdexcept>

#include "runtime/Handles.h"

namespace {

void Check(LSTATUS status, const char* what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
}

void ApplyDacl(HKEY key, const wchar_t* sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl, SDDL_REVISION_1, &descriptor, nullptr))
        throw std::runtime_error("bad security descriptor");
    LSTATUS status = RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, descriptor);
    LocalFree(descriptor);
    Check(status, "RegSetKeySecurity");
}

// The owner may always rewrite the access list, so a locked key can be opened up again.
void GrantFullAccessTree(HKEY root, const std::wstring& path) {
    RegKey dacl;
    if (RegOpenKeyExW(root, path.c_str(), 0, WRITE_DAC, dacl.Receive()) != ERROR_SUCCESS)
        return;
    ApplyDacl(dacl.Get(), L"D:(A;OICI;KA;;;WD)");
    RegKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return;
    std::vector<std::wstring> children;
    wchar_t name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = 256;
        if (RegEnumKeyExW(key.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    for (const auto& child : children)
        GrantFullAccessTree(root, path + L"\\" + child);
}

RegKey OpenScratch(const std::wstring& relative, REGSAM access) {
    RegKey key;
    Check(RegOpenKeyExW(HKEY_CURRENT_USER, ScratchKeyTest::Below(relative).c_str(), 0, access, key.Receive()),
          "RegOpenKeyExW");
    return key;
}

}  // namespace

void RemoveKeyTree(HKEY root, const std::wstring& path) {
    GrantFullAccessTree(root, path);
    LSTATUS status = RegDeleteTreeW(root, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Check(status, "RegDeleteTreeW");
    status = RegDeleteKeyW(root, path.c_str());
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND)
        Check(status, "RegDeleteKeyW");
}

RawValue TextData(const std::wstring& text, DWORD type) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return RawValue{type, std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t))};
}

RawValue DwordData(std::uint32_t number) {
    const auto* bytes = reinterpret_cast<const BYTE*>(&number);
    return RawValue{REG_DWORD, std::vector<BYTE>(bytes, bytes + sizeof(number))};
}

RawValue BinaryData(std::vector<BYTE> bytes) { return RawValue{REG_BINARY, std::move(bytes)}; }

RawValue AnsiBinaryData(const std::string& text) {
    return RawValue{REG_BINARY, std::vector<BYTE>(text.c_str(), text.c_str() + text.size() + 1)};
}

void PrintTo(const RawValue& value, std::ostream* os) {
    *os << "type " << value.type << ", " << value.data.size() << " bytes:";
    for (std::size_t i = 0; i < value.data.size() && i < 16; ++i)
        *os << ' ' << static_cast<int>(value.data[i]);
    if (value.data.size() > 16)
        *os << " ...";
}

void ScratchKeyTest::SetUp() {
    RemoveKeyTree(HKEY_CURRENT_USER, ScratchKeyPath);
    RawCreate(L"");
}

void ScratchKeyTest::TearDown() { RemoveKeyTree(HKEY_CURRENT_USER, ScratchKeyPath); }

std::wstring ScratchKeyTest::Below(const std::wstring& relative) {
    return relative.empty() ? ScratchKeyPath : ScratchKeyPath + L"\\" + relative;
}

void ScratchKeyTest::RawCreate(const std::wstring& relative) {
    RegKey key;
    Check(RegCreateKeyExW(HKEY_CURRENT_USER, Below(relative).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          key.Receive(), nullptr),
          "RegCreateKeyExW");
}

bool ScratchKeyTest::RawKeyExists(const std::wstring& relative) {
    RegKey key;
    return RegOpenKeyExW(HKEY_CURRENT_USER, Below(relative).c_str(), 0, KEY_READ, key.Receive()) == ERROR_SUCCESS;
}

void ScratchKeyTest::RawSet(const std::wstring& relative, const std::wstring& valueName, const RawValue& value) {
    RegKey key = OpenScratch(relative, KEY_SET_VALUE);
    Check(RegSetValueExW(key.Get(), valueName.c_str(), 0, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size())),
          "RegSetValueExW");
}

std::optional<RawValue> ScratchKeyTest::RawGet(const std::wstring& relative, const std::wstring& valueName) {
    RegKey key = OpenScratch(relative, KEY_QUERY_VALUE);
    RawValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    value.data.resize(size);
    Check(RegQueryValueExW(key.Get(), valueName.c_str(), nullptr, &value.type, value.data.data(), &size),
          "RegQueryValueExW");
    value.data.resize(size);
    return value;
}

void ScratchKeyTest::RawGrantReadOnly(const std::wstring& relative) {
    RegKey key = OpenScratch(relative, WRITE_DAC);
    ApplyDacl(key.Get(), L"D:P(A;;KR;;;WD)");
}

std::uintptr_t NextHandleValue() {
    KernelHandle probe(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!probe)
        throw std::runtime_error("CreateEventW failed");
    return reinterpret_cast<std::uintptr_t>(probe.Get());
}
