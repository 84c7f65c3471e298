// A DLL that does nothing: the tests plant it where a download folder would
// hold a malicious one and check whether the loader takes it.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID)
{
    return TRUE;
}
