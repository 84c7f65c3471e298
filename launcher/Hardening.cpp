#include "Hardening.h"

SetDefaultDllDirectoriesFn FindSetDefaultDllDirectories()
{
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    if (kernel32 == nullptr) {
        return nullptr;
    }
    // Through void(*)(), the one function type any other converts from
    // without a warning.
    const auto proc =
        reinterpret_cast<void (*)()>(GetProcAddress(kernel32, "SetDefaultDllDirectories"));
    return reinterpret_cast<SetDefaultDllDirectoriesFn>(proc);
}

bool RestrictDllSearch(SetDefaultDllDirectoriesFn setDefault)
{
    if (setDefault != nullptr && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        return true;
    }
    return SetDllDirectoryW(L"") != FALSE;
}

void HardenProcess()
{
    // Both are best effort: the job runs as before where either fails.
    HeapSetInformation(nullptr, HeapEnableTerminationOnCorruption, nullptr, 0);
    RestrictDllSearch(FindSetDefaultDllDirectories());
}
