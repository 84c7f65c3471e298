#include "LaunchAndWait.h"

#include "platform/ScopedHandle.h"
#include "platform/SystemLibrary.h"

#if !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit shell-execute record");
#endif

std::wstring WaitForUpdater(HANDLE hProcess, DWORD dwWaitMs)
{
    const DWORD dwWait = WaitForSingleObject(hProcess, dwWaitMs);
    if (dwWait == WAIT_OBJECT_0) {
        return std::wstring();
    }
    if (dwWait == WAIT_TIMEOUT) {
        return L"WaitForSingleObject timeout;ms=" + std::to_wstring(dwWaitMs);
    }
    return L"WaitForSingleObject failed;errcode=" + std::to_wstring(GetLastError());
}

std::wstring StartAndWait(ShellExecuteExFn pfnShellExecuteEx, const std::wstring& csFile,
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
        return L"ShellExecuteEx failed;errcode=" + std::to_wstring(dwError);
    }
    // The shell handed the file to something already running (a folder to
    // Explorer, say): no updater process was seen, so none is claimed.
    if (!ownedProcess.IsValid()) {
        return L"ShellExecuteEx no process";
    }
    return WaitForUpdater(ownedProcess.Get(), dwWaitMs);
}

std::wstring LaunchAndWait(const std::wstring& csFile, const std::wstring& csParameters)
{
    std::wstring csFailure;
    const auto pfnShellExecuteEx = FunctionCast<ShellExecuteExFn>(
        GetSystemFunction(L"shell32.dll", "ShellExecuteExW", csFailure));
    if (pfnShellExecuteEx == nullptr) {
        return csFailure;
    }
    return StartAndWait(pfnShellExecuteEx, csFile, csParameters, kUpdaterWaitMs);
}
