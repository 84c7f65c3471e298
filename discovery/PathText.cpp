#include "Discovery.h"

std::wstring RemoveTrailingBackslashes(std::wstring csPath)
{
    const std::wstring::size_type nLast = csPath.find_last_not_of(L'\\');
    csPath.erase(nLast == std::wstring::npos ? 0 : nLast + 1);
    return csPath;
}

bool IsDirectoryString(const std::wstring& csPath)
{
    return !csPath.empty() && csPath.back() == L'\\';
}

bool IsAbsolutePath(const std::wstring& csPath)
{
    if (csPath.size() >= 2 && csPath[0] == L'\\' && csPath[1] == L'\\') {
        return true;
    }
    if (csPath.size() < 3) {
        return false;
    }
    const wchar_t chDrive = csPath[0];
    const bool bIsLetter =
        (chDrive >= L'A' && chDrive <= L'Z') || (chDrive >= L'a' && chDrive <= L'z');
    return bIsLetter && csPath[1] == L':' && csPath[2] == L'\\';
}
