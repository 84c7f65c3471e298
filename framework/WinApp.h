// Minimal stand-in for the application framework the launcher was written
// against: one process-wide application object and its initialisation call.
// Only initialisation is provided; the launcher uses nothing else of it.
#pragma once

#include <windows.h>

class CWinApp {
public:
    // Registers this object as the process's application object.
    explicit CWinApp(LPCWSTR lpszAppName = nullptr);
    ~CWinApp();

    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    LPCWSTR m_pszAppName;
    HINSTANCE m_hInstance;
    HINSTANCE m_hPrevInstance;
    LPWSTR m_lpCmdLine;
    int m_nCmdShow;
    bool m_bInitialized;
};

// The registered application object, or nullptr when there is none.
CWinApp* AfxGetApp();

// Adds SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX to the error mode first,
// so that later probes of empty drives never raise a system dialog, then
// records the arguments in the application object. Fails when there is no
// application object or it was initialised already.
BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow);
