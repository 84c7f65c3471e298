#include "Hardening.h"

#include "platform/SystemLibrary.h"

SetDefaultDllDirectoriesFn FindSetDefaultDllDirectories()
{
    const HMODULE hKernel32 = GetModuleHandleW(L"kernel32.dll");
    if (hKernel32 == nullptr) {
        return nullptr;
    }
    return FunctionCast<SetDefaultDllDirectoriesFn>(
        GetProcAddress(hKernel32, "SetDefaultDllDirectories"));
}

bool RestrictDllSearch(SetDefaultDllDirectoriesFn pfnSetDefault)
{
    if (pfnSetDefault != nullptr && pfnSetDefault(LOAD_LIBRARY_SEARCH_SYSTEM32)) {
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
