// For information beside the early stop: a console program that imports
// SHLWAPI and SHELL32, as the launcher once did, and does nothing.
#include <windows.h>

#include <shellapi.h>
#include <shlwapi.h>

// Referenced and never called: the loader maps both DLLs all the same.
void* volatile g_shlwapi = reinterpret_cast<void*>(&PathFileExistsW);
void* volatile g_shell32 = reinterpret_cast<void*>(&ShellExecuteExW);

int wmain()
{
    return 0;
}
