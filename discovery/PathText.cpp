#include "PathText.h"

namespace {
// Windows takes either slash as a separator.
bool IsSeparator(wchar_t ch)
{
    return ch == L'\\' || ch == L'/';
}
}  // namespace

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
    // Two separators: a share or a device path ("\\srv\share", "//srv/share",
    // "\\?\C:\"); the system reads no current directory into either.
    if (csPath.size() >= 2 && IsSeparator(csPath[0]) && IsSeparator(csPath[1])) {
        return true;
    }
    // Everything else short of "X:\" or "X:/" is taken relative to the
    // current drive or directory: "\x", "X:x", "x\".
    if (csPath.size() < 3) {
        return false;
    }
    const wchar_t chDrive = csPath[0];
    const bool bIsLetter =
        (chDrive >= L'A' && chDrive <= L'Z') || (chDrive >= L'a' && chDrive <= L'z');
    return bIsLetter && csPath[1] == L':' && IsSeparator(csPath[2]);
}

bool IsAbsoluteDirectory(const std::wstring& csPath)
{
    return IsDirectoryString(csPath) && IsAbsolutePath(csPath);
}
