// Shared between the benchmark driver and its updater stand-in: where the
// updater leaves the performance counter at its entry and right before its
// exit, so that the driver can tell how long the launcher outlived it.
#pragma once

#include <windows.h>

constexpr wchar_t kStampMappingName[] = L"Local\\UnzipLauncherBenchStamps";

struct BenchStamps {
    LONGLONG updaterEntry;
    LONGLONG updaterExit;
};
