#include "PackPath.h"

#include "log/DiagLog.h"
#include "log/LogEntries.h"
#include "platform/StringQuery.h"

std::wstring GetUnzipPackPath()
{
    return GetUnzipPackPath(kLongBufferChars);
}

std::wstring GetUnzipPackPath(DWORD cchBuffer)
{
    std::wstring csPackPath;
    SetLastError(ERROR_SUCCESS);
    // A cut path names some other place: a failure, as no path at all.
    const DWORD cch = QueryString(
        cchBuffer,
        [](wchar_t* pszBuffer, DWORD cchRoom) {
            return GetModuleFileNameW(nullptr, pszBuffer, cchRoom);
        },
        csPackPath);
    if (csPackPath.empty()) {
        DWORD dwError = GetLastError();
        if (cch != 0 && dwError == ERROR_SUCCESS) {
            // A cut path is a failure even where no error was set.
            dwError = ERROR_INSUFFICIENT_BUFFER;
        }
        WriteLog(logentry::kNoModulePath + std::to_wstring(dwError));
        return std::wstring();
    }
    return DirectoryOfPackPath(csPackPath);
}

std::wstring DirectoryOfPackPath(const std::wstring& csPackPath)
{
    const std::wstring::size_type nLastBackslash = csPackPath.rfind(L'\\');
    if (nLastBackslash == std::wstring::npos) {
        WriteLog(logentry::kNoOwnFolder + csPackPath);
        return csPackPath;
    }
    return csPackPath.substr(0, nLastBackslash + 1);
}
