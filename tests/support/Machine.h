// The machine the test pack runs on: Windows or Wine, 32-bit or WoW64,
// elevated or not, and the drives a case may use.
#pragma once

#include <windows.h>

#include <string>

namespace machine {

// Wine's version ("8.0"), from ntdll's wine_get_version; empty on Windows.
std::string WineVersion();
inline bool IsWine()
{
    return !WineVersion().empty();
}
// Wine's major version (8, 10); 0 on Windows. Where Wine versions differ
// from each other, a case says which one matches Windows.
int WineMajor();
// A 32-bit program on 64-bit Windows.
bool IsWow64();
// One line: "Wine 8.0, WoW64" or "Windows 10.0.19045, 32-bit".
std::string Describe();
// Whether the process holds full administrator rights (Windows' token
// elevation; Wine gives every process a full token).
bool IsElevated();

// Wine inside the project's emulated machine (scripts/vm sets UL_VM_GUEST,
// which Wine passes on), where QEMU's software emulation stands in for the
// processor.
bool IsEmulated();

// What GetLastError gives after ShellExecuteExW of a file named .exe that
// is no program. Windows: ERROR_BAD_EXE_FORMAT (193), the error of
// CreateProcess for a file that is no Win32 program (System Error Codes,
// learn.microsoft.com; ShellExecuteEx's own list of errors is not complete),
// as Wine 8 gives. Wine 10 gives ERROR_INVALID_HANDLE (6), which nothing
// documents for this: a known Wine difference.
DWORD NotAProgramError();

// One of the tests' own time margins, wider on a slower machine (the Wine
// fixture passes UL_TIME_SCALE on from an emulated one). The launcher's own
// two-minute bound is never scaled.
DWORD Slack(DWORD dwMs);

}  // namespace machine
