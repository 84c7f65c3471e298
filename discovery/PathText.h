// Path strings as the launcher reads them; nothing here touches the disk.
#pragma once

#include <string>

// Removes the whole run of trailing backslashes.
std::wstring RemoveTrailingBackslashes(std::wstring csPath);
// A directory string: not empty and ending in a backslash.
bool IsDirectoryString(const std::wstring& csPath);
// Absolute as Windows reads it: a drive letter, a colon and a separator, or
// two separators to begin with; either slash counts as a separator.
bool IsAbsolutePath(const std::wstring& csPath);
// A directory string that is absolute: a folder the launcher may act in.
bool IsAbsoluteDirectory(const std::wstring& csPath);
