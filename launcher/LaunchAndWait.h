// Starting the updater: hidden, through the shell, waited for at most
// kUpdaterWaitMs. SHELL32 is loaded only here, from the system directory.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <string>

// The longest the launcher waits for the updater; a slower one is left running.
constexpr DWORD kUpdaterWaitMs = 120000;

// How the start and the wait ended: the log entry that says what went wrong
// (null when the updater started and ended within the wait), and its value,
// the error number or, for a timeout, the wait.
struct CUpdaterOutcome {
    const wchar_t* pszEntry;
    DWORD dwValue;
};

// Starts csFile hidden with csParameters and waits for it.
CUpdaterOutcome LaunchAndWait(const std::wstring& csFile, const std::wstring& csParameters);

using ShellExecuteExFn = decltype(&ShellExecuteExW);

// The same with the shell call given and a wait of at most dwWaitMs. A test
// seam: a start that succeeds without a process cannot be made to happen.
CUpdaterOutcome StartAndWait(ShellExecuteExFn pfnShellExecuteEx, const std::wstring& csFile,
                             const std::wstring& csParameters, DWORD dwWaitMs);

// Waits at most dwWaitMs for hProcess to end; separate, so that tests can give
// a short wait or a handle that is no process.
CUpdaterOutcome WaitForUpdater(HANDLE hProcess, DWORD dwWaitMs);

// The log entry that follows the arguments entry; empty when there is none.
std::wstring GetOutcomeEntry(const CUpdaterOutcome& outcome);
