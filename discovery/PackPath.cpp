#include "Discovery.h"

#include <vector>

#include "log/DiagLog.h"

std::wstring GetUnzipPackPath()
{
    return GetUnzipPackPath(kModulePathChars);
}

std::wstring GetUnzipPackPath(DWORD cchBuffer)
{
    std::vector<wchar_t> buffer(cchBuffer, L'\0');
    SetLastError(ERROR_SUCCESS);
    // Returns the length without the terminator, 0 on failure, and the buffer
    // size when the path was cut: a cut path names some other place.
    const DWORD cch = GetModuleFileNameW(nullptr, buffer.data(), cchBuffer);
    if (cch == 0 || cch >= cchBuffer) {
        DWORD dwError = GetLastError();
        if (cch != 0 && dwError == ERROR_SUCCESS) {
            // Windows XP reports a cut path without setting an error.
            dwError = ERROR_INSUFFICIENT_BUFFER;
        }
        WriteLog(L"GetModuleFileName failed;errcode=" + std::to_wstring(dwError));
        return std::wstring();
    }
    return DirectoryOfPackPath(std::wstring(buffer.data(), cch));
}

std::wstring DirectoryOfPackPath(const std::wstring& csPackPath)
{
    const std::wstring::size_type nLastBackslash = csPackPath.rfind(L'\\');
    if (nLastBackslash == std::wstring::npos) {
        WriteLog(L"ReverseFind failed;csPackPath=" + csPackPath);
        return csPackPath;
    }
    return csPackPath.substr(0, nLastBackslash + 1);
}
