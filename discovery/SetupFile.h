// The setup file, "IxaSetup.ini" in the system directory, and the management
// directory it names.
#pragma once

#include <windows.h>

#include <string>

// "<system directory>\IxaSetup.ini", or empty when the system directory is
// unknown (a setup file is never looked for elsewhere).
std::wstring SetupFilePath(DWORD cchSystemDir);
// Key "PATH" of pszSection, cut to cchValue - 1 characters by the reader.
std::wstring ReadSetupPath(const std::wstring& csSetupFile, const wchar_t* pszSection,
                           const wchar_t* pszDefault, DWORD cchValue);

// The management directory, ending in exactly one backslash ("\" when the
// setting is missing). Writes no log entry.
std::wstring GetRegManPath();
