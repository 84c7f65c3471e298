// Process-wide defences, taken before the launcher does anything else. The
// launcher often runs from a download folder where others can drop files,
// and the shell loads DLLs while it starts the updater.
#pragma once

#include <windows.h>

using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD DirectoryFlags);

// SetDefaultDllDirectories from kernel32, or null where Windows lacks it
// (Windows 7 without its 2011 loader update).
SetDefaultDllDirectoriesFn FindSetDefaultDllDirectories();

// Keeps DLLs loaded by name from coming out of folders others can write to:
// only the system directory when pfnSetDefault is given; else, through
// SetDllDirectoryW(L""), at least not the current directory. True on success.
bool RestrictDllSearch(SetDefaultDllDirectoriesFn pfnSetDefault);

// Ends the process on heap corruption and restricts the DLL search. The
// shipped exe's entry calls it before the runtime's start-up. Changes
// nothing the launcher logs, passes or returns.
void HardenProcess();
