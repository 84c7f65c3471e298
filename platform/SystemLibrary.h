// System DLLs loaded from the system directory only. The exe imports nothing
// but kernel32 and the C runtime, so that nothing else is loaded before the
// DLL search is restricted: a DLL the shell libraries pull in would otherwise
// be looked for beside the exe, in a download folder.
#pragma once

#include <windows.h>

// pszDll from the system directory only, or null with the last error set.
// The module stays loaded until the process ends.
HMODULE LoadSystemLibrary(const wchar_t* pszDll);

// The address of a function in a system DLL, or null with the step that
// failed and the error number it left (0 when it left none).
enum class SystemStep { kNone, kLoad, kLookup };
struct CSystemFunction {
    FARPROC pfnProc;
    SystemStep failedStep;
    DWORD dwError;
};

CSystemFunction GetSystemFunction(const wchar_t* pszDll, const char* pszFunction);

// pfnProc (from GetProcAddress) as the function pointer type Fn, for example
// decltype(&ShellExecuteExW); null stays null.
template <typename Fn>
Fn FunctionCast(FARPROC pfnProc)
{
    // Through void(*)(), the one function type any other converts from
    // without a warning.
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(pfnProc));
}
