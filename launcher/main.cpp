#include "Entry.h"
#include "framework/WinApp.h"

// The process-wide application object, made before wmain runs.
CWinApp theApp;

int wmain(int, wchar_t**, wchar_t**)
{
    return RunLauncher(&AfxWinInit);
}
