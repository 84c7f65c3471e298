#include "Discovery.h"

#include <vector>

std::wstring QuerySystemDirectory(DWORD cchBuffer)
{
    std::vector<wchar_t> buffer(cchBuffer, L'\0');
    // Returns the length without the terminator on success, 0 on failure, and
    // the size needed (terminator included) when the buffer is too small.
    const UINT cch = GetSystemDirectoryW(buffer.data(), cchBuffer);
    if (cch == 0 || cch >= cchBuffer) {
        return std::wstring();
    }
    return std::wstring(buffer.data(), cch);
}

std::wstring SetupFilePath(DWORD cchSystemDir)
{
    const std::wstring systemDir = QuerySystemDirectory(cchSystemDir);
    if (systemDir.empty()) {
        return std::wstring();
    }
    return RemoveTrailingBackslashes(systemDir) + L"\\IxaSetup.ini";
}

std::wstring ReadSetupPath(const std::wstring& setupFile, const wchar_t* section,
                           const wchar_t* defaultValue, DWORD cchValue)
{
    std::vector<wchar_t> buffer(cchValue, L'\0');
    // Copies at most cchValue - 1 characters and always terminates; the
    // result is the number of characters copied.
    const DWORD cch = GetPrivateProfileStringW(section, L"PATH", defaultValue, buffer.data(),
                                               cchValue, setupFile.c_str());
    return std::wstring(buffer.data(), cch < cchValue ? cch : cchValue - 1);
}

std::wstring GetRegManPath()
{
    const std::wstring setupFile = SetupFilePath(kManageBufferChars);
    std::wstring value;
    if (!setupFile.empty()) {
        value = ReadSetupPath(setupFile, L"MANAGE", L"", kManageBufferChars);
    }
    return RemoveTrailingBackslashes(value) + L"\\";
}
