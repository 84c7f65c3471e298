#include "platform/SystemLibrary.h"

#include <shellapi.h>

#include "support/TestFiles.h"

using namespace testfiles;

namespace {

std::wstring ModulePath(HMODULE hModule)
{
    constexpr DWORD kChars = MAX_PATH;
    wchar_t buffer[kChars] = {};
    const DWORD cch = GetModuleFileNameW(hModule, buffer, kChars);
    EXPECT_TRUE(cch > 0 && cch < kChars);
    return std::wstring(buffer, cch);
}

bool IsSameText(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

TEST(SystemLibraryTest, LoadsFromTheSystemDirectoryAndGivesTheFunction)
{
    std::wstring csFailure = L"untouched";
    const auto shellExecuteEx =
        GetSystemFunction<decltype(&ShellExecuteExW)>(L"shell32.dll", "ShellExecuteExW", csFailure);
    ASSERT_NE(shellExecuteEx, nullptr);
    EXPECT_EQ(csFailure, L"untouched");

    const HMODULE hModule = LoadSystemLibrary(L"shell32.dll");
    ASSERT_NE(hModule, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(shellExecuteEx),
              reinterpret_cast<void*>(GetProcAddress(hModule, "ShellExecuteExW")));
    EXPECT_TRUE(IsSameText(ModulePath(hModule), SystemDir() + L"\\shell32.dll"))
        << Utf8(ModulePath(hModule));
}

TEST(SystemLibraryTest, WhatCannotBeHadIsNamedInTheEntry)
{
    // PlantedDll.dll lies beside this program, where a plain load would find it.
    std::wstring csFailure;
    EXPECT_EQ(GetSystemFunction(L"PlantedDll.dll", "DllMain", csFailure), nullptr);
    EXPECT_EQ(csFailure, L"LoadLibraryEx(PlantedDll.dll) failed;errcode=126");
    EXPECT_EQ(GetModuleHandleW(L"PlantedDll.dll"), nullptr);

    EXPECT_EQ(GetSystemFunction(L"shell32.dll", "NoSuchFunction", csFailure), nullptr);
    EXPECT_EQ(csFailure, L"GetProcAddress(NoSuchFunction) failed;errcode=127");
}

}  // namespace
