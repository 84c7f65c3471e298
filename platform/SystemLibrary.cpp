#include "SystemLibrary.h"

#include "StringQuery.h"

namespace {
// The system directory's path always fits; a longer one fails the fallback.
constexpr DWORD kSystemDirChars = MAX_PATH;

std::wstring Widen(const char* pszAscii)
{
    std::wstring csWide;
    for (const char* p = pszAscii; *p != '\0'; ++p) {
        csWide += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    }
    return csWide;
}
}  // namespace

HMODULE LoadSystemLibrary(const wchar_t* pszDll)
{
    HMODULE hModule = LoadLibraryExW(pszDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (hModule != nullptr || GetLastError() != ERROR_INVALID_PARAMETER) {
        return hModule;
    }
    // Windows 7 without its 2011 loader update knows no search flags. The
    // full path instead; the altered search looks for what the DLL imports
    // in the DLL's own folder, not beside the exe.
    const std::wstring csSystemDir = QuerySystemDirectory(kSystemDirChars);
    if (csSystemDir.empty()) {
        return nullptr;
    }
    // Only a root ("C:\\") ends in a backslash.
    const std::wstring csPath = csSystemDir + (csSystemDir.back() == L'\\' ? L"" : L"\\") + pszDll;
    return LoadLibraryExW(csPath.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

FARPROC GetSystemFunction(const wchar_t* pszDll, const char* pszFunction, std::wstring& csFailure)
{
    // Both report a failure through the last error; 0 stands for none.
    SetLastError(ERROR_SUCCESS);
    const HMODULE hModule = LoadSystemLibrary(pszDll);
    if (hModule == nullptr) {
        // Taken before the text is built: building it allocates.
        const DWORD dwError = GetLastError();
        csFailure = L"LoadLibraryEx(" + std::wstring(pszDll) + L") failed;errcode=" +
                    std::to_wstring(dwError);
        return nullptr;
    }
    SetLastError(ERROR_SUCCESS);
    const FARPROC proc = GetProcAddress(hModule, pszFunction);
    if (proc == nullptr) {
        const DWORD dwError = GetLastError();
        csFailure = L"GetProcAddress(" + Widen(pszFunction) + L") failed;errcode=" +
                    std::to_wstring(dwError);
    }
    return proc;
}
