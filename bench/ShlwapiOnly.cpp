// For information beside the early stop: a console program that imports
// SHLWAPI alone, which the launcher once loaded before it stopped early.
#include <windows.h>

#include <shlwapi.h>

// Referenced and never called: the loader maps the DLL all the same.
void* volatile g_shlwapi = reinterpret_cast<void*>(&PathFileExistsW);

int wmain()
{
    return 0;
}
