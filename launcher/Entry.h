// The program from start to exit, apart from the process entry itself, so
// that the framework's initialisation can be replaced in tests.
#pragma once

#include <windows.h>

using FrameworkInitFn = BOOL (*)(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine,
                                 int nCmdShow);

// Initialises the framework with pfnInit, then runs the launcher. Returns the
// process exit code: 1 when the framework fails, else 0.
int RunLauncher(FrameworkInitFn pfnInit);

// Writes the framework failure message and a newline to standard output.
void ReportFrameworkFailure();
