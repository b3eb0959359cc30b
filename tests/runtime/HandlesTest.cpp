#include <windows.h>

#include <cstdint>

#include "TestSupport.h"
#include "runtime/Handles.h"

TEST(ScopeExit, RunsOnceWhenTheScopeEnds) {
    int runs = 0;
    {
        ScopeExit count([&] { ++runs; });
        EXPECT_EQ(runs, 0);
    }
    EXPECT_EQ(runs, 1);
}

TEST(ScopeExit, DoesNotRunOnceDismissed) {
    int runs = 0;
    {
        ScopeExit count([&] { ++runs; });
        count.Dismiss();
    }
    EXPECT_EQ(runs, 0);
}

TEST(UniqueHandle, ReceiveClosesWhatWasHeld) {
    KernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE first = event.Get();
    // Made before the first is closed, so that it cannot take the first one's number.
    HANDLE second = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    *event.Receive() = second;
    DWORD flags = 0;
    EXPECT_FALSE(GetHandleInformation(first, &flags));
    EXPECT_TRUE(GetHandleInformation(event.Get(), &flags));
}

TEST(RegKeyTraits, TheRootNumbersWithoutSignExtensionAreNoRoots) {
    if (sizeof(HKEY) < 8)
        GTEST_SKIP() << "only 64-bit handles are sign-extended";
    auto zeroExtended = static_cast<std::uintptr_t>(static_cast<std::uint32_t>(
        reinterpret_cast<std::uintptr_t>(HKEY_CURRENT_USER)));
    EXPECT_FALSE(RegKeyTraits::IsPredefined(reinterpret_cast<HKEY>(zeroExtended)));
}
