#include "UnzipLauncher.h"

#include <shellapi.h>

#if !defined(_WIN64)
static_assert(sizeof(SHELLEXECUTEINFOW) == 60, "the 32-bit shell-execute record");
#endif

namespace {
// Owns a process handle; closing keeps the caller's last error intact.
struct ProcessHandle {
    explicit ProcessHandle(HANDLE h) : handle(h) {}
    ~ProcessHandle()
    {
        if (handle != nullptr) {
            const DWORD dwError = GetLastError();
            CloseHandle(handle);
            SetLastError(dwError);
        }
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;

    HANDLE handle;
};
}  // namespace

BOOL LaunchAndWait(const std::wstring& file, const std::wstring& parameters)
{
    SHELLEXECUTEINFOW sei = {};
    sei.cbSize = sizeof(sei);
    // NO_UI: an unattended machine must never get an error dialog.
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.lpFile = file.c_str();
    sei.lpParameters = parameters.c_str();
    sei.nShow = SW_HIDE;

    const BOOL bLaunched = ShellExecuteExW(&sei);
    const ProcessHandle process(sei.hProcess);
    if (process.handle != nullptr) {
        // Whether the updater ended or the time ran out makes no difference.
        WaitForSingleObject(process.handle, kUpdaterWaitMs);
    }
    return bLaunched;
}
