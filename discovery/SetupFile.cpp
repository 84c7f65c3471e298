#include "SetupFile.h"

#include "PathText.h"
#include "platform/StringQuery.h"

#include <vector>

std::wstring SetupFilePath(DWORD cchSystemDir)
{
    return QuerySystemPath(cchSystemDir, L"IxaSetup.ini");
}

std::wstring ReadSetupPath(const std::wstring& csSetupFile, const wchar_t* pszSection,
                           const wchar_t* pszDefault, DWORD cchValue)
{
    std::vector<wchar_t> buffer(cchValue, L'\0');
    // Copies at most cchValue - 1 characters and always terminates; the
    // result is the number of characters copied.
    const DWORD cch = GetPrivateProfileStringW(pszSection, L"PATH", pszDefault, buffer.data(),
                                               cchValue, csSetupFile.c_str());
    return std::wstring(buffer.data(), cch < cchValue ? cch : cchValue - 1);
}

std::wstring GetRegManPath()
{
    const std::wstring csSetupFile = SetupFilePath(kLongBufferChars);
    std::wstring csValue;
    if (!csSetupFile.empty()) {
        csValue = ReadSetupPath(csSetupFile, L"MANAGE", L"", kLongBufferChars);
    }
    return RemoveTrailingBackslashes(csValue) + L"\\";
}
