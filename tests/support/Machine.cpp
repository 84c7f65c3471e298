#include "support/Machine.h"

#include <cstdlib>
#include <cwchar>

#include "platform/ScopedHandle.h"
#include "platform/StringQuery.h"
#include "platform/SystemLibrary.h"
#include "support/TestFiles.h"

namespace machine {

std::string WineVersion()
{
    using WineVersionFn = const char*(CDECL*)();
    const HMODULE hNtdll = GetModuleHandleW(L"ntdll.dll");
    const auto pfn =
        FunctionCast<WineVersionFn>(hNtdll ? GetProcAddress(hNtdll, "wine_get_version") : nullptr);
    return pfn ? pfn() : std::string();
}

int WineMajor()
{
    return static_cast<int>(std::strtol(WineVersion().c_str(), nullptr, 10));
}

DWORD NotAProgramError()
{
    return WineMajor() >= 10 ? ERROR_INVALID_HANDLE : ERROR_BAD_EXE_FORMAT;
}

bool IsWow64()
{
    BOOL bWow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &bWow64) && bWow64;
}

std::string Describe()
{
    std::string text;
    if (IsWine()) {
        text = "Wine " + WineVersion();
    } else {
        // GetVersionEx lies to programs without a compatibility manifest;
        // ntdll's RtlGetVersion does not.
        using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
        const auto pfn = FunctionCast<RtlGetVersionFn>(
            GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion"));
        OSVERSIONINFOW info = {};
        info.dwOSVersionInfoSize = sizeof(info);
        if (pfn && pfn(&info) == 0) {
            text = "Windows " + std::to_string(info.dwMajorVersion) + "." +
                   std::to_string(info.dwMinorVersion) + "." + std::to_string(info.dwBuildNumber);
        } else {
            text = "Windows";
        }
    }
    return text + (IsWow64() ? ", WoW64" : ", 32-bit");
}

bool IsElevated()
{
    HANDLE hRaw = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &hRaw)) {
        return false;
    }
    const ScopedHandle token(hRaw);
    TOKEN_ELEVATION elevation = {};
    DWORD cb = 0;
    return GetTokenInformation(token.Get(), TokenElevation, &elevation, sizeof(elevation), &cb) &&
           elevation.TokenIsElevated != 0;
}

bool IsEmulated()
{
    return testfiles::FixtureValue(L"UL_VM_GUEST") == L"1";
}

DWORD Slack(DWORD dwMs)
{
    const std::wstring csScale = testfiles::FixtureValue(L"UL_TIME_SCALE");
    const unsigned long ulScale = csScale.empty() ? 1 : std::wcstoul(csScale.c_str(), nullptr, 10);
    return dwMs * static_cast<DWORD>(ulScale == 0 ? 1 : ulScale);
}

}  // namespace machine
