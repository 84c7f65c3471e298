#include "SystemLibrary.h"

#include "StringQuery.h"

HMODULE LoadSystemLibrary(const wchar_t* pszDll)
{
    HMODULE hModule = LoadLibraryExW(pszDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (hModule != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return hModule;
    }
    // Windows 7 without its 2011 loader update knows no search flags. The
    // full path instead; the altered search looks for what the DLL imports
    // in the DLL's own folder, not beside the exe. The system directory's
    // path always fits the short buffer; a longer one fails the fallback.
    const std::wstring csPath = QuerySystemPath(kShortBufferChars, pszDll);
    if (csPath.empty()) {
        return nullptr;
    }
    return LoadLibraryExW(csPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

CSystemFunction GetSystemFunction(const wchar_t* pszDll, const char* pszFunction)
{
    // Both report a failure through the last error; 0 stands for none.
    SetLastError(ERROR_SUCCESS);
    const HMODULE hModule = LoadSystemLibrary(pszDll);
    if (hModule == nullptr) {
        return {nullptr, SystemStep::kLoad, GetLastError()};
    }
    SetLastError(ERROR_SUCCESS);
    const FARPROC pfnProc = GetProcAddress(hModule, pszFunction);
    if (pfnProc == nullptr) {
        return {nullptr, SystemStep::kLookup, GetLastError()};
    }
    return {pfnProc, SystemStep::kNone, ERROR_SUCCESS};
}
