// Starting the updater: hidden, through the shell, waited for at most
// kUpdaterWaitMs. SHELL32 is loaded only here, from the system directory.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

// The longest the launcher waits for the updater; a slower one is left running.
constexpr DWORD kUpdaterWaitMs = 120000;

// Starts csFile hidden with csParameters and waits for it. Returns the log
// entry that must follow the parameter entry: empty when the updater started
// and ended within the wait, else what went wrong ("ShellExecuteEx
// failed;errcode=<n>", "ShellExecuteEx no process",
// "WaitForSingleObject timeout;ms=120000", ...).
std::wstring LaunchAndWait(const std::wstring& csFile, const std::wstring& csParameters);

using ShellExecuteExFn = decltype(&ShellExecuteExW);

// The same with the shell call given and a wait of at most dwWaitMs. A test
// seam: a start that succeeds without a process cannot be made to happen.
std::wstring StartAndWait(ShellExecuteExFn pfnShellExecuteEx, const std::wstring& csFile,
                          const std::wstring& csParameters, DWORD dwWaitMs);

// Waits at most dwWaitMs for hProcess to end; the same kind of entry.
// Separate so that tests can give a short wait or a handle that is no process.
std::wstring WaitForUpdater(HANDLE hProcess, DWORD dwWaitMs);
