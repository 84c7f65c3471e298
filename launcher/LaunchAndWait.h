// Starting the updater: hidden, through the shell, waited for at most
// kUpdaterWaitMs. SHELL32 is loaded only here, from the system directory.
#pragma once

#include <windows.h>

#include <string>

// The longest the launcher waits for the updater; a slower one is left running.
constexpr DWORD kUpdaterWaitMs = 120000;

// Starts csFile hidden with csParameters and waits for it. Returns the log
// entry that must follow the parameter entry: empty when the updater started
// and ended within the wait, else what went wrong ("ShellExecuteEx
// failed;errcode=<n>", "WaitForSingleObject timeout;ms=120000", ...).
std::wstring LaunchAndWait(const std::wstring& csFile, const std::wstring& csParameters);

// Waits at most dwWaitMs for hProcess to end; the same kind of entry.
// Separate so that tests can give a short wait or a handle that is no process.
std::wstring WaitForUpdater(HANDLE hProcess, DWORD dwWaitMs);
