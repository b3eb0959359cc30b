#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "runtime/ArgumentQuote.h"
#include "runtime/TextConv.h"

TEST(ArgumentQuoteTest, TheSystemSplitsTheLineIntoTheSameArguments) {
    const std::vector<std::wstring> arguments = {
        L"/backup", L"D:\\Tarnwick backups", L"D:\\", L"\\\\nas\\share\\", L"", L"say \"hi\"", L"a\\\\\"b",
        L"tab\there", L"C:\\Ωmega 中", L"trailing\\\\", L"-x=\"\\\"",
    };
    std::wstring line = L"program.exe " + JoinArguments(arguments);
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(line.c_str(), &count);
    ASSERT_NE(argv, nullptr);
    std::vector<std::wstring> split(argv + 1, argv + count);
    LocalFree(argv);
    EXPECT_EQ(split, arguments) << Narrow(line);
    EXPECT_EQ(QuoteArgument(L"/dated"), L"/dated");
}
