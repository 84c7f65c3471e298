#include "WinApp.h"

namespace {
CWinApp* g_pApp = nullptr;
}

CWinApp::CWinApp(LPCWSTR lpszAppName)
    : m_pszAppName(lpszAppName),
      m_hInstance(nullptr),
      m_hPrevInstance(nullptr),
      m_lpCmdLine(nullptr),
      m_nCmdShow(0),
      m_bInitialized(false)
{
    g_pApp = this;
}

CWinApp::~CWinApp()
{
    if (g_pApp == this) {
        g_pApp = nullptr;
    }
}

CWinApp* AfxGetApp()
{
    return g_pApp;
}

BOOL AfxWinInit(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nCmdShow)
{
    // SetErrorMode replaces the mode, so read it first to keep the bits the
    // process already had.
    const UINT uPrevious = SetErrorMode(0);
    SetErrorMode(uPrevious | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);

    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || pApp->m_bInitialized) {
        return FALSE;
    }
    pApp->m_hInstance = hInstance;
    pApp->m_hPrevInstance = hPrevInstance;
    pApp->m_lpCmdLine = lpCmdLine;
    pApp->m_nCmdShow = nCmdShow;
    pApp->m_bInitialized = true;
    return TRUE;
}
