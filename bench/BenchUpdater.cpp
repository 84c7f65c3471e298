// The updater stand-in of the benchmark: sleeps BENCH_UPDATER_SLEEP_MS (not
// at all when unset) and, when the driver's mapping exists, stamps its entry
// and its exit into it. A GUI-subsystem program, as an updater would be.
#include <windows.h>

#include <cwchar>

#include "BenchStamps.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    LARGE_INTEGER entry = {};
    QueryPerformanceCounter(&entry);

    // Both left to the process exit, so that nothing runs after the stamp.
    const HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, kStampMappingName);
    auto* stamps = mapping == nullptr ? nullptr
                                      : static_cast<BenchStamps*>(MapViewOfFile(
                                            mapping, FILE_MAP_WRITE, 0, 0, sizeof(BenchStamps)));

    constexpr DWORD kValueChars = 16;
    wchar_t value[kValueChars] = {};
    const DWORD cch = GetEnvironmentVariableW(L"BENCH_UPDATER_SLEEP_MS", value, kValueChars);
    if (cch > 0 && cch < kValueChars) {
        Sleep(static_cast<DWORD>(std::wcstoul(value, nullptr, 10)));
    }

    if (stamps != nullptr) {
        LARGE_INTEGER exit = {};
        QueryPerformanceCounter(&exit);
        stamps->updaterEntry = entry.QuadPart;
        stamps->updaterExit = exit.QuadPart;
    }
    ExitProcess(0);
}
