#include "Discovery.h"

std::wstring RemoveTrailingBackslashes(std::wstring path)
{
    const std::wstring::size_type last = path.find_last_not_of(L'\\');
    path.erase(last == std::wstring::npos ? 0 : last + 1);
    return path;
}

bool IsDirectoryString(const std::wstring& path)
{
    return !path.empty() && path.back() == L'\\';
}

bool IsAbsolutePath(const std::wstring& path)
{
    if (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        return true;
    }
    if (path.size() < 3) {
        return false;
    }
    const wchar_t drive = path[0];
    const bool isLetter = (drive >= L'A' && drive <= L'Z') || (drive >= L'a' && drive <= L'z');
    return isLetter && path[1] == L':' && path[2] == L'\\';
}
