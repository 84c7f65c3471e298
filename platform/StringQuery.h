// Strings from the Windows APIs that fill a caller's buffer and return a
// length (GetSystemDirectoryW, GetModuleFileNameW, GetCurrentDirectoryW).
// Shared by the launcher, its test programs and the benchmark; it knows
// nothing of the launcher.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The two buffer sizes in use, in characters with the terminator: 1024 for
// the longest paths, and 260, Windows' MAX_PATH.
constexpr DWORD kLongBufferChars = 1024;
constexpr DWORD kShortBufferChars = 260;

// Calls fnQuery(buffer, cchBuffer) with a zero-filled buffer of cchBuffer
// characters and returns what it returned. Such an API failed when it returned
// 0 or at least the buffer's size: then it either needs that much room or cut
// the string. csResult holds the string on success and is empty otherwise.
template <typename Fn>
DWORD QueryString(DWORD cchBuffer, Fn fnQuery, std::wstring& csResult)
{
    std::vector<wchar_t> buffer(cchBuffer, L'\0');
    const DWORD cch = static_cast<DWORD>(fnQuery(buffer.data(), cchBuffer));
    if (cch == 0 || cch >= cchBuffer) {
        csResult.clear();
    } else {
        csResult.assign(buffer.data(), cch);
    }
    return cch;
}

// The system directory read into a buffer of cchBuffer characters; empty when
// the call fails or the directory does not fit.
inline std::wstring QuerySystemDirectory(DWORD cchBuffer)
{
    std::wstring csDir;
    QueryString(
        cchBuffer,
        [](wchar_t* pszBuffer, DWORD cch) { return GetSystemDirectoryW(pszBuffer, cch); }, csDir);
    return csDir;
}

// pszName in the system directory, read into a buffer of cchBuffer
// characters; empty when the directory is unknown or does not fit. Only a
// root ("C:\\") ends in a backslash.
inline std::wstring QuerySystemPath(DWORD cchBuffer, const wchar_t* pszName)
{
    const std::wstring csDir = QuerySystemDirectory(cchBuffer);
    if (csDir.empty()) {
        return csDir;
    }
    return csDir + (csDir.back() == L'\\' ? L"" : L"\\") + pszName;
}

// The full path of hModule (null: the running program) read into a buffer of
// cchBuffer characters; empty when the call fails or the path was cut.
inline std::wstring QueryModulePath(HMODULE hModule, DWORD cchBuffer)
{
    std::wstring csPath;
    QueryString(
        cchBuffer,
        [hModule](wchar_t* pszBuffer, DWORD cch) {
            return GetModuleFileNameW(hModule, pszBuffer, cch);
        },
        csPath);
    return csPath;
}
