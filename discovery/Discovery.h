// Finds the three directories the launcher works with: the management
// directory (the updater), the product directory (where the package goes) and
// the launcher's own directory (where the package lies). Nothing here fails
// outward; the caller tests each result for existence.
#pragma once

#include <windows.h>

#include <string>

// Receiving buffers, in characters with the terminator.
constexpr DWORD kManageBufferChars = 1024;     // [MANAGE] PATH
constexpr DWORD kZofixaBufferChars = 260;      // [ZOFIXA] PATH
constexpr DWORD kManageSystemDirChars = 1024;  // the system directory, for [MANAGE]
constexpr DWORD kZofixaSystemDirChars = 260;   // the system directory, for [ZOFIXA]
constexpr DWORD kModulePathChars = 1024;

// The product directory used as the drive-search pattern and as the result
// when nothing is found.
extern const wchar_t kDefaultZofixaPath[];

// --- Path text ---------------------------------------------------------
// Removes the whole run of trailing backslashes.
std::wstring RemoveTrailingBackslashes(std::wstring csPath);
// A directory string: not empty and ending in a backslash.
bool IsDirectoryString(const std::wstring& csPath);
// Absolute as Windows reads it: a drive letter, a colon and a separator, or
// two separators to begin with; either slash counts as a separator.
bool IsAbsolutePath(const std::wstring& csPath);
// A directory string that is absolute: a folder the launcher may act in.
bool IsKnownFolder(const std::wstring& csPath);

// --- Existence -----------------------------------------------------------
// A file or a directory is there.
bool IsExistingPath(const std::wstring& csPath);
// A file, not a directory, is there.
bool IsExistingFile(const std::wstring& csPath);

// --- Setup file ----------------------------------------------------------
// "<system directory>\IxaSetup.ini", or empty when the system directory is
// unknown (a setup file is never looked for elsewhere).
std::wstring SetupFilePath(DWORD cchSystemDir);
// Key "PATH" of pszSection, cut to cchValue - 1 characters by the reader.
std::wstring ReadSetupPath(const std::wstring& csSetupFile, const wchar_t* pszSection,
                           const wchar_t* pszDefault, DWORD cchValue);

// The management directory, ending in exactly one backslash ("\" when the
// setting is missing). Writes no log entry.
std::wstring GetRegManPath();

// --- Product directory ---------------------------------------------------
// Both marker libraries exist in csPath (a directory string).
bool IsZofixaPath(const std::wstring& csPath);
// The product directory: the setup file's, else the first drive C..Z with the
// fixed layout, else the default. Writes exactly one log entry.
std::wstring FindZofixaPath();

// --- Own directory -------------------------------------------------------
// The running executable's directory, ending in a backslash. On failure it
// logs and returns the empty string, or the full path when that holds no
// backslash.
std::wstring GetUnzipPackPath();
// The same with a module-path buffer of cchBuffer characters.
std::wstring GetUnzipPackPath(DWORD cchBuffer);
// Everything up to and including the last backslash of csPackPath.
std::wstring DirectoryOfPackPath(const std::wstring& csPackPath);
