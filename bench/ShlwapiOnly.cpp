// For information beside the early stop: a console program that imports
// SHLWAPI alone, which is what the launcher loads before it stops early.
#include <windows.h>

#include <shlwapi.h>

// Referenced and never called: the loader maps the DLL all the same.
void* volatile g_shlwapi = reinterpret_cast<void*>(&PathFileExistsW);

int wmain()
{
    return 0;
}
