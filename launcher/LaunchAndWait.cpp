#include "LaunchAndWait.h"

#include "log/LogEntries.h"
#include "platform/ScopedHandle.h"
#include "platform/SystemLibrary.h"

#if !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit shell-execute record");
#endif

CUpdaterOutcome WaitForUpdater(HANDLE hProcess, DWORD dwWaitMs)
{
    const DWORD dwWait = WaitForSingleObject(hProcess, dwWaitMs);
    if (dwWait == WAIT_OBJECT_0) {
        return {nullptr, 0};
    }
    if (dwWait == WAIT_TIMEOUT) {
        return {logentry::kWaitTimeout, dwWaitMs};
    }
    return {logentry::kWaitFailed, GetLastError()};
}

CUpdaterOutcome StartAndWait(ShellExecuteExFn pfnShellExecuteEx, const std::wstring& csFile,
                             const std::wstring& csParameters, DWORD dwWaitMs)
{
    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof(sei);
    // NO_UI: an unattended machine must never get an error dialog.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpFile = csFile.c_str();
    sei.lpParameters = csParameters.c_str();
    sei.nShow = SW_HIDE;

    SetLastError(ERROR_SUCCESS);
    const BOOL bLaunched = pfnShellExecuteEx(&sei);
    const DWORD dwError = GetLastError();
    const ScopedHandle ownedProcess(sei.hProcess);
    if (!bLaunched) {
        return {logentry::kShellFailed, dwError};
    }
    // The shell handed the file to something already running (a folder to
    // Explorer, say): no updater process was seen, so none is claimed.
    if (!ownedProcess.IsValid()) {
        return {logentry::kNoProcess, 0};
    }
    return WaitForUpdater(ownedProcess.Get(), dwWaitMs);
}

CUpdaterOutcome LaunchAndWait(const std::wstring& csFile, const std::wstring& csParameters)
{
    const CSystemFunction shell = GetSystemFunction(L"shell32.dll", "ShellExecuteExW");
    if (shell.pfnProc == nullptr) {
        const bool bNoShell = shell.failedStep == SystemStep::kLoad;
        return {bNoShell ? logentry::kNoShell : logentry::kNoStartFunction, shell.dwError};
    }
    return StartAndWait(FunctionCast<ShellExecuteExFn>(shell.pfnProc), csFile, csParameters,
                        kUpdaterWaitMs);
}

std::wstring GetOutcomeEntry(const CUpdaterOutcome& outcome)
{
    if (outcome.pszEntry == nullptr) {
        return std::wstring();
    }
    // An entry that ends in "=" takes the value.
    const std::wstring csEntry = outcome.pszEntry;
    return csEntry.back() == L'=' ? csEntry + std::to_wstring(outcome.dwValue) : csEntry;
}
