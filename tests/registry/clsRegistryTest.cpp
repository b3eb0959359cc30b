#include <windows.h>

#include <algorithm>
#include <functional>

#include "ScratchKey.h"
#include "TestSupport.h"
#include "registry/clsRegistry.h"
#include "runtime/AppError.h"
#include "runtime/Handles.h"

namespace {

const std::wstring Key = ScratchKeyPath;
const std::wstring Local;

std::wstring LongText(std::size_t length) {
    std::wstring text;
    for (std::size_t i = 0; i < length; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    return text;
}

std::wstring LocalComputerName() {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &length))
        throw std::runtime_error("GetComputerNameW failed");
    return std::wstring(name, length);
}

// A computer that does not answer. Wine refuses every name but its own at once; on Windows
// an unresolvable name fails after the name lookup.
const std::wstring SilentComputer = L"\\\\bktrnwck-no-such-host.invalid";

void ExpectRegistryError(const std::function<void()>& call, long number, const std::wstring& description) {
    try {
        call();
        ADD_FAILURE() << "no error raised, expected " << number;
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number(), number);
        EXPECT_EQ(error.Source(), L"clsRegistry");
        EXPECT_EQ(error.Description(), description);
    }
}

}  // namespace

using ClsRegistry = ScratchKeyTest;

// --- Reading: what each kind of stored data gives back. ---

struct ReadCase {
    const char* name;
    RawValue stored;
    RegistryValue expected;
};

TEST_F(ClsRegistry, GetValueTellsEachKindOfDataApart) {
    const ReadCase cases[] = {
        {"text", TextData(L"Quill \u03a9 set"), std::wstring(L"Quill \u03a9 set")},
        {"empty text", TextData(L""), std::wstring()},
        {"text of no bytes", RawValue{REG_SZ, {}}, std::wstring()},
        {"text stored without its NUL", RawValue{REG_SZ, {'a', 0, 'b', 0}}, std::wstring(L"ab")},
        {"254 characters fit", TextData(LongText(254)), LongText(254)},
        {"255 characters are too long", TextData(LongText(255)), std::monostate{}},
        {"unexpanded text", TextData(L"%WINDIR%\\x", REG_EXPAND_SZ), std::wstring(L"%WINDIR%\\x")},
        {"32-bit integer", DwordData(0x12345678), std::int32_t{0x12345678}},
        {"32-bit zero is no 16-bit zero", DwordData(0), std::int32_t{0}},
        {"negative 32-bit integer", DwordData(0xFFFFFFFF), std::int32_t{-1}},
        {"one binary byte", BinaryData({200}), std::uint8_t{200}},
        {"four binary bytes, little-endian", BinaryData({42, 0, 0, 0}), std::uint8_t{42}},
        {"no binary bytes", BinaryData({}), std::uint8_t{0}},
        {"five binary bytes are refused", BinaryData({1, 0, 0, 0, 0}), std::int16_t{0}},
        {"256 binary bytes are too long", BinaryData(std::vector<BYTE>(256, 1)), std::monostate{}},
        {"64-bit integer is no text", RawValue{REG_QWORD, {5, 0, 0, 0, 0, 0, 0, 0}}, std::monostate{}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RawSet(L"", L"v", c.stored);
        EXPECT_EQ(clsRegistry().GetValue(HkeyCurrentUser, Key, L"v", Local), c.expected);
    }
}

TEST_F(ClsRegistry, GetValueOfMissingValueIsEmptyNotEmptyText) {
    EXPECT_EQ(clsRegistry().GetValue(HkeyCurrentUser, Key, L"nothing", Local), RegistryValue{});
    // The key's default value is the one with the empty name.
    EXPECT_EQ(clsRegistry().GetValue(HkeyCurrentUser, Key, L"", Local), RegistryValue{});
    RawSet(L"", L"", TextData(L"default"));
    EXPECT_EQ(clsRegistry().GetValue(HkeyCurrentUser, Key, L"", Local), RegistryValue(std::wstring(L"default")));
}

TEST_F(ClsRegistry, BinaryReadingAboveAByteOverflows) {
    RawSet(L"", L"v", BinaryData({0, 1}));
    try {
        clsRegistry().GetValue(HkeyCurrentUser, Key, L"v", Local);
        ADD_FAILURE() << "no overflow raised";
    } catch (const AppError& error) {
        EXPECT_EQ(error.Number(), ERROR_ARITHMETIC_OVERFLOW);
        EXPECT_EQ(error.Source(), L"clsRegistry");
    }
}

// --- Writing: what ends up in the registry. ---

struct WriteCase {
    const char* name;
    std::optional<RawValue> before;
    RegistryData value;
    RawValue after;
};

TEST_F(ClsRegistry, SetValueWritesInTheExistingTypeOrAsText) {
    const RawValue expandable = TextData(L"%TEMP%", REG_EXPAND_SZ);
    const RawValue quad{REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 8}};
    const WriteCase cases[] = {
        {"new text", std::nullopt, std::wstring(L"hello \u03a9"), TextData(L"hello \u03a9")},
        {"new value from a number is text", std::nullopt, std::int32_t{5}, TextData(L"5")},
        {"new value from a byte is text", std::nullopt, std::uint8_t{200}, TextData(L"200")},
        {"new value from a 16-bit number is text", std::nullopt, std::int16_t{-7}, TextData(L"-7")},
        {"text over text", TextData(L"old"), std::wstring(L"new"), TextData(L"new")},
        {"number over text", TextData(L"old"), std::int32_t{42}, TextData(L"42")},
        {"number over 32-bit", DwordData(1), std::int32_t{70000}, DwordData(70000)},
        {"negative over 32-bit", DwordData(1), std::int32_t{-1}, DwordData(0xFFFFFFFF)},
        {"numeric text over 32-bit", DwordData(1), std::wstring(L" -12 "), DwordData(static_cast<DWORD>(-12))},
        {"byte over binary: its digits", BinaryData({7}), std::uint8_t{200}, AnsiBinaryData("200")},
        {"text over binary: its byte's digits", BinaryData({7}), std::wstring(L"200"), AnsiBinaryData("200")},
        {"padded text over binary: no more than the digits", BinaryData({7}), std::wstring(L"007"),
         AnsiBinaryData("7")},
        {"over too long binary: as text", BinaryData(std::vector<BYTE>(256, 1)), std::int32_t{9}, TextData(L"9")},
        {"over too long text: as text", TextData(LongText(300)), std::wstring(L"short"), TextData(L"short")},
        {"expandable text stays", expandable, std::wstring(L"x"), expandable},
        {"64-bit integer stays", quad, std::int32_t{1}, quad},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegDeleteKeyValueW(HKEY_CURRENT_USER, Key.c_str(), L"v");
        if (c.before)
            RawSet(L"", L"v", *c.before);
        EXPECT_TRUE(clsRegistry().SetValue(HkeyCurrentUser, Key, L"v", c.value, Local));
        EXPECT_EQ(RawGet(L"", L"v"), c.after);
    }
}

TEST_F(ClsRegistry, SetValueRaises11001WhenTheValueDoesNotConvert) {
    struct Case {
        const char* name;
        RawValue before;
        RegistryData value;
    };
    const Case cases[] = {
        {"letters into 32-bit", DwordData(1), std::wstring(L"abc")},
        {"empty text into 32-bit", DwordData(1), std::wstring()},
        {"fraction into 32-bit", DwordData(1), std::wstring(L"1.5")},
        {"beyond 32 bits", DwordData(1), std::wstring(L"4294967296")},
        {"256 into a byte", BinaryData({1}), std::int32_t{256}},
        {"negative into a byte", BinaryData({1}), std::int16_t{-1}},
        {"letters into a byte", BinaryData({1}), std::wstring(L"x")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RawSet(L"", L"v", c.before);
        ExpectRegistryError([&] { clsRegistry().SetValue(HkeyCurrentUser, Key, L"v", c.value, Local); }, 11001,
                            L"SetValue");
        EXPECT_EQ(RawGet(L"", L"v"), c.before);
    }
}

TEST_F(ClsRegistry, SetValueRaises11001WhenTheWriteFails) {
    // The registry refuses value names longer than 16383 characters.
    const std::wstring tooLongName(20000, L'n');
    ExpectRegistryError([&] { clsRegistry().SetValue(HkeyCurrentUser, Key, tooLongName, std::wstring(L"x"), Local); },
                        11001, L"SetValue");
}

// --- Keys that cannot be reached: every operation gives its "nothing" result. ---

struct UnreachableCase {
    const char* name;
    std::wstring keyName;
    std::wstring computer;
    bool readOnly;
};

TEST_F(ClsRegistry, UnreachableKeyGivesNothingAndSetValueRaises) {
    const UnreachableCase cases[] = {
        {"missing key", Key + L"\\missing", Local, false},
        {"read-only key", Key + L"\\locked", Local, true},
        {"computer that does not answer", Key + L"\\remote", SilentComputer, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.computer != Local || c.readOnly) {
            const std::wstring relative = c.keyName.substr(Key.size() + 1);
            RawCreate(relative);
            RawCreate(relative + L"\\child");
            RawSet(relative, L"v", TextData(L"there"));
            if (c.readOnly) {
                RawGrantReadOnly(relative + L"\\child");
                RawGrantReadOnly(relative);
            }
        }
        clsRegistry registry;
        EXPECT_FALSE(registry.KeyExists(HkeyCurrentUser, c.keyName, c.computer));
        EXPECT_EQ(registry.GetValue(HkeyCurrentUser, c.keyName, L"v", c.computer), RegistryValue{});
        EXPECT_EQ(registry.ListSubKey(HkeyCurrentUser, c.keyName, 0, c.computer), L"");
        EXPECT_EQ(registry.ListSubValue(HkeyCurrentUser, c.keyName, 0, c.computer), L"");
        EXPECT_FALSE(registry.DeleteValue(HkeyCurrentUser, c.keyName, L"v", c.computer));
        ExpectRegistryError([&] { registry.SetValue(HkeyCurrentUser, c.keyName, L"v", std::wstring(L"x"), c.computer); },
                            11001, L"SetValue");
        // Wine lets the owner delete a key whatever its access list says, so whether a
        // read-only key can be deleted is left to the platform.
        if (!c.readOnly) {
            EXPECT_FALSE(registry.DeleteKey(HkeyCurrentUser, c.keyName + L"\\child", c.computer));
        }
        if (c.computer != Local || c.readOnly) {
            EXPECT_FALSE(registry.CreateKey(HkeyCurrentUser, c.keyName, c.computer));
        }
    }
    // The unreachable keys were left as they were.
    EXPECT_FALSE(RawKeyExists(L"missing"));
    EXPECT_EQ(RawGet(L"locked", L"v"), TextData(L"there"));
    EXPECT_TRUE(RawKeyExists(L"remote\\child"));
    EXPECT_EQ(RawGet(L"remote", L"v"), TextData(L"there"));
}

TEST_F(ClsRegistry, ComputerNameOfThisComputerWorksOnTheLocalRegistry) {
    RawSet(L"", L"v", TextData(L"here"));
    for (const std::wstring& computer : {LocalComputerName(), L"\\\\" + LocalComputerName()}) {
        SCOPED_TRACE(testing::PrintToString(computer));
        clsRegistry registry;
        EXPECT_TRUE(registry.KeyExists(HkeyCurrentUser, Key, computer));
        EXPECT_EQ(registry.GetValue(HkeyCurrentUser, Key, L"v", computer), RegistryValue(std::wstring(L"here")));
        EXPECT_TRUE(registry.SetValue(HkeyCurrentUser, Key, L"w", std::int32_t{1}, computer));
        EXPECT_TRUE(registry.CreateKey(HkeyCurrentUser, Key + L"\\made", computer));
        EXPECT_EQ(registry.ListSubKey(HkeyCurrentUser, Key, 0, computer), L"made");
        EXPECT_TRUE(registry.DeleteKey(HkeyCurrentUser, Key + L"\\made", computer));
        EXPECT_TRUE(registry.DeleteValue(HkeyCurrentUser, Key, L"w", computer));
    }
    EXPECT_EQ(RawGet(L"", L"w"), std::nullopt);
    EXPECT_FALSE(RawKeyExists(L"made"));
}

TEST(RegistryPlatform, ConnectionAnswersForThisComputerAndRefusesOneThatDoesNotAnswer) {
    struct Case {
        std::wstring computer;
        LSTATUS expected;
    };
    const Case cases[] = {
        {LocalComputerName(), ERROR_SUCCESS},
        {SilentComputer, ERROR_BAD_NETPATH},  // 53
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.computer));
        RegKey remote;
        EXPECT_EQ(RegConnectRegistryW(c.computer.c_str(), HKEY_CURRENT_USER, remote.Receive()), c.expected);
    }
}

// --- Listing ---

TEST_F(ClsRegistry, ListingByIndexEndsWithEmptyText) {
    for (const wchar_t* name : {L"alpha", L"beta \u03a9", L"gamma"})
        RawCreate(name);
    RawSet(L"", L"one", TextData(L"1"));
    RawSet(L"", L"two \u03a9", DwordData(2));
    RawSet(L"", L"three", BinaryData({3}));

    auto listAll = [](auto list) {
        std::vector<std::wstring> names;
        for (std::int32_t index = 0; index < 100; ++index) {
            std::wstring name = list(index);
            if (name.empty())
                break;
            names.push_back(name);
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    clsRegistry registry;
    EXPECT_EQ(listAll([&](std::int32_t i) { return registry.ListSubKey(HkeyCurrentUser, Key, i, Local); }),
              (std::vector<std::wstring>{L"alpha", L"beta \u03a9", L"gamma"}));
    EXPECT_EQ(listAll([&](std::int32_t i) { return registry.ListSubValue(HkeyCurrentUser, Key, i, Local); }),
              (std::vector<std::wstring>{L"one", L"three", L"two \u03a9"}));
    EXPECT_EQ(registry.ListSubKey(HkeyCurrentUser, Key, 3, Local), L"");
    EXPECT_EQ(registry.ListSubKey(HkeyCurrentUser, Key, -1, Local), L"");
    EXPECT_EQ(registry.ListSubValue(HkeyCurrentUser, Key, 3, Local), L"");
    EXPECT_EQ(registry.ListSubKey(HkeyCurrentUser, Key + L"\\alpha", 0, Local), L"");
    EXPECT_EQ(registry.ListSubValue(HkeyCurrentUser, Key + L"\\alpha", 0, Local), L"");
}

// --- Keys and values ---

TEST_F(ClsRegistry, CreateKeyMakesTheWholePathAndAcceptsAnExistingKey) {
    clsRegistry registry;
    EXPECT_TRUE(registry.CreateKey(HkeyCurrentUser, Key + L"\\a\\b \u03a9", Local));
    EXPECT_TRUE(RawKeyExists(L"a\\b \u03a9"));
    RawSet(L"a", L"kept", TextData(L"yes"));
    EXPECT_TRUE(registry.CreateKey(HkeyCurrentUser, Key + L"\\a", Local));
    EXPECT_EQ(RawGet(L"a", L"kept"), TextData(L"yes"));
}

TEST_F(ClsRegistry, DeleteKeyRemovesALeafButNotAKeyWithSubkeys) {
    RawCreate(L"parent\\child");
    clsRegistry registry;
    EXPECT_FALSE(registry.DeleteKey(HkeyCurrentUser, Key + L"\\parent", Local));
    EXPECT_TRUE(RawKeyExists(L"parent\\child"));
    EXPECT_TRUE(registry.DeleteKey(HkeyCurrentUser, Key + L"\\parent\\child", Local));
    EXPECT_FALSE(RawKeyExists(L"parent\\child"));
    EXPECT_TRUE(registry.DeleteKey(HkeyCurrentUser, Key + L"\\parent", Local));
    EXPECT_FALSE(RawKeyExists(L"parent"));
    EXPECT_FALSE(registry.DeleteKey(HkeyCurrentUser, Key + L"\\parent", Local));
}

TEST_F(ClsRegistry, DeleteValueRemovesOnlyThatValue) {
    RawSet(L"", L"gone", TextData(L"1"));
    RawSet(L"", L"stays", TextData(L"2"));
    clsRegistry registry;
    EXPECT_TRUE(registry.DeleteValue(HkeyCurrentUser, Key, L"gone", Local));
    EXPECT_EQ(RawGet(L"", L"gone"), std::nullopt);
    EXPECT_EQ(RawGet(L"", L"stays"), TextData(L"2"));
    EXPECT_FALSE(registry.DeleteValue(HkeyCurrentUser, Key, L"gone", Local));
}

// --- The leading "\" rule ---

TEST_F(ClsRegistry, OneLeadingBackslashIsDropped) {
    const std::wstring slashed = L"\\" + Key;
    RawSet(L"", L"v", TextData(L"same key"));
    clsRegistry registry;
    EXPECT_TRUE(registry.KeyExists(HkeyCurrentUser, slashed, Local));
    EXPECT_EQ(registry.GetValue(HkeyCurrentUser, slashed, L"v", Local), RegistryValue(std::wstring(L"same key")));
    EXPECT_TRUE(registry.SetValue(HkeyCurrentUser, slashed, L"w", std::wstring(L"written"), Local));
    EXPECT_EQ(RawGet(L"", L"w"), TextData(L"written"));
    EXPECT_TRUE(registry.CreateKey(HkeyCurrentUser, slashed + L"\\made", Local));
    EXPECT_EQ(registry.ListSubKey(HkeyCurrentUser, slashed, 0, Local), L"made");
    EXPECT_EQ(registry.ListSubValue(HkeyCurrentUser, slashed + L"\\made", 0, Local), L"");
    EXPECT_TRUE(registry.DeleteKey(HkeyCurrentUser, slashed + L"\\made", Local));
    EXPECT_FALSE(RawKeyExists(L"made"));
    EXPECT_TRUE(registry.DeleteValue(HkeyCurrentUser, slashed, L"w", Local));
}

TEST_F(ClsRegistry, TwoLeadingBackslashesKeepOneAndTheRegistryRefusesIt) {
    const std::wstring doubled = L"\\\\" + Key;
    RawSet(L"", L"v", TextData(L"not reached"));
    RawCreate(L"child");
    clsRegistry registry;
    EXPECT_FALSE(registry.KeyExists(HkeyCurrentUser, doubled, Local));
    EXPECT_EQ(registry.GetValue(HkeyCurrentUser, doubled, L"v", Local), RegistryValue{});
    ExpectRegistryError([&] { registry.SetValue(HkeyCurrentUser, doubled, L"v", std::wstring(L"x"), Local); }, 11001,
                        L"SetValue");
    EXPECT_FALSE(registry.CreateKey(HkeyCurrentUser, doubled + L"\\made", Local));
    EXPECT_FALSE(registry.DeleteKey(HkeyCurrentUser, doubled + L"\\child", Local));
    EXPECT_TRUE(RawKeyExists(L"child"));
    EXPECT_FALSE(RawKeyExists(L"made"));
}

// --- Handles ---

TEST_F(ClsRegistry, NoHandleStaysOpenOnAnyPath) {
    RawSet(L"", L"v", DwordData(1));
    RawSet(L"", L"b", BinaryData({1, 1}));
    RawCreate(L"child");
    clsRegistry registry;
    auto everyOperation = [&](const std::wstring& keyName, const std::wstring& computer) {
        registry.KeyExists(HkeyCurrentUser, keyName, computer);
        registry.GetValue(HkeyCurrentUser, keyName, L"v", computer);
        registry.ListSubKey(HkeyCurrentUser, keyName, 0, computer);
        registry.ListSubValue(HkeyCurrentUser, keyName, 0, computer);
        registry.CreateKey(HkeyCurrentUser, keyName + L"\\made", computer);
        registry.DeleteKey(HkeyCurrentUser, keyName + L"\\made", computer);
        registry.DeleteValue(HkeyCurrentUser, keyName, L"none", computer);
        try {
            registry.SetValue(HkeyCurrentUser, keyName, L"v", std::wstring(L"not a number"), computer);
        } catch (const AppError&) {
        }
        try {
            registry.GetValue(HkeyCurrentUser, keyName, L"b", computer);
        } catch (const AppError&) {
        }
    };
    everyOperation(Key, Local);  // first use opens the platform's own lasting handles
    const std::uintptr_t before = NextHandleValue();
    everyOperation(Key, Local);
    everyOperation(Key + L"\\missing", Local);
    everyOperation(Key, LocalComputerName());
    everyOperation(Key, SilentComputer);
    EXPECT_EQ(NextHandleValue(), before);
}

TEST(RegKey, PredefinedRootsAreNeverClosed) {
    for (HKEY root : {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_PERFORMANCE_DATA,
                      HKEY_CURRENT_CONFIG, HKEY_DYN_DATA, HKEY_CURRENT_USER_LOCAL_SETTINGS, HKEY_PERFORMANCE_TEXT,
                      HKEY_PERFORMANCE_NLSTEXT})
        EXPECT_TRUE(RegKeyTraits::IsPredefined(root)) << root;
    RegKey opened;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software", 0, KEY_READ, opened.Receive()), ERROR_SUCCESS);
    EXPECT_FALSE(RegKeyTraits::IsPredefined(opened.Get()));
}
