// A program started as a test starts the launcher: its own process in a job
// of its own (so that whatever it starts is known and ended with the case),
// standard output through a pipe, a time limit, and a watch for visible
// top-level windows of any process in the job.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "platform/ScopedHandle.h"

struct ProgramOutcome {
    DWORD dwExitCode = 0;
    bool bTimedOut = false;
    std::string csStdout;  // bytes
    ULONGLONG ullMs = 0;
    // "<class> '<title>'" of the first visible top-level window seen, which
    // ended the run at once; empty when none was.
    std::wstring csWindow;
};

using EnvPairs = std::vector<std::pair<std::wstring, std::wstring>>;

// "<class> '<title>'" of a visible top-level window of one of the processes
// pids, or empty when none has one; phWnd receives the window.
std::wstring FindVisibleWindow(const std::vector<DWORD>& pids, HWND* phWnd = nullptr);

// Takes this process's environment, less the updater stand-in's settings, as
// every program started from now on gets it, whatever a test sets in this
// process afterwards.
void CaptureEnvironment();

class CProgramRun {
public:
    // Starts csExe in the folder csDir with the captured environment and
    // the variables env; dwCreationFlags adds to CREATE_SUSPENDED. With
    // hToken, as the user and with the rights that token holds.
    CProgramRun(const std::wstring& csExe, const std::wstring& csDir, const EnvPairs& env,
                DWORD dwCreationFlags = 0, HANDLE hToken = nullptr);
    ~CProgramRun();
    CProgramRun(const CProgramRun&) = delete;
    CProgramRun& operator=(const CProgramRun&) = delete;

    // Why it could not start (CreateProcessW's error), or 0.
    DWORD GetStartError() const { return m_dwStartError; }
    HANDLE GetProcess() const { return m_process.Get(); }
    bool IsRunning() const;
    // Waits at most dwTimeoutMs for the program (not for what it started);
    // one that is still running, or that showed a window, is ended.
    ProgramOutcome Finish(DWORD dwTimeoutMs);
    // For a program started with DEBUG_ONLY_THIS_PROCESS: debugs it until it
    // ends, or at most dwTimeoutMs, and returns the full path of every DLL
    // it loaded, in order. Finish then gives the outcome.
    std::vector<std::wstring> GetDllLoads(DWORD dwTimeoutMs);

private:
    void Drain();
    // False once a window showed.
    bool WatchWindows();

    ScopedHandle m_job;
    ScopedHandle m_process;
    ScopedHandle m_stdoutRead;
    DWORD m_dwStartError = 0;
    ULONGLONG m_ullStarted = 0;
    ProgramOutcome m_outcome;
};
