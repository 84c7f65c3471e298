// The launcher's own directory, where the update package lies.
#pragma once

#include <windows.h>

#include <string>

// The running executable's directory, ending in a backslash. On failure it
// logs and returns the empty string, or the full path when that holds no
// backslash.
std::wstring GetUnzipPackPath();
// The same with a module-path buffer of cchBuffer characters.
std::wstring GetUnzipPackPath(DWORD cchBuffer);
// Everything up to and including the last backslash of csPackPath.
std::wstring DirectoryOfPackPath(const std::wstring& csPackPath);
