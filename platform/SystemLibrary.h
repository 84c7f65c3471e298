// System DLLs loaded from the system directory only: the launcher needs
// SHELL32 for part of its run. The exe imports
// nothing but kernel32 and the C runtime, so that nothing else is loaded
// before the DLL search is restricted: a DLL the shell libraries pull in
// would otherwise be looked for beside the exe, in a download folder.
#pragma once

#include <windows.h>

#include <string>

// pszDll from the system directory only, or null with the last error set.
// The module stays loaded until the process ends.
HMODULE LoadSystemLibrary(const wchar_t* pszDll);

// The address of pszFunction in the system DLL pszDll. When either cannot be
// had, null, and csFailure holds the log entry that says so:
// "LoadLibraryEx(<dll>) failed;errcode=<n>" or
// "GetProcAddress(<function>) failed;errcode=<n>".
FARPROC GetSystemFunction(const wchar_t* pszDll, const char* pszFunction, std::wstring& csFailure);

// pfnProc (from GetProcAddress) as the function pointer type Fn, for example
// decltype(&ShellExecuteExW); null stays null.
template <typename Fn>
Fn FunctionCast(FARPROC pfnProc)
{
    // Through void(*)(), the one function type any other converts from
    // without a warning.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(pfnProc));
}
