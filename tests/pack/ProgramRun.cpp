#include "ProgramRun.h"

#include <algorithm>
#include <cwchar>
#include <map>

namespace {

constexpr DWORD kPollMs = 50;
// Room for the ids of every process the launcher and the updater may start.
constexpr DWORD kJobProcesses = 64;

struct JobProcesses {
    JOBOBJECT_BASIC_PROCESS_ID_LIST list;
    ULONG_PTR more[kJobProcesses];
};

struct WindowSearch {
    std::vector<DWORD> pids;
    std::wstring* found;
    HWND hWnd;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (!IsWindowVisible(hWnd) ||
        std::find(search->pids.begin(), search->pids.end(), dwPid) == search->pids.end()) {
        return TRUE;
    }
    constexpr int kTextChars = 256;
    wchar_t szClass[kTextChars] = {};
    wchar_t szTitle[kTextChars] = {};
    GetClassNameW(hWnd, szClass, kTextChars);
    GetWindowTextW(hWnd, szTitle, kTextChars);
    *search->found = std::wstring(szClass) + L" '" + szTitle + L"'";
    search->hWnd = hWnd;
    return FALSE;
}

std::vector<std::wstring> g_environment;

bool IsLessIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
}

// The name of a NAME=value string; names of drives' current directories
// ("=C:=C:\\") begin with "=".
std::wstring NameOf(const std::wstring& csPair)
{
    return csPair.substr(0, csPair.find(L'=', 1));
}

// The captured environment with env set over it, sorted by name as Windows
// keeps an environment block, each string ended by a null, then one more.
std::wstring EnvironmentBlock(const EnvPairs& env)
{
    std::map<std::wstring, std::wstring, decltype(&IsLessIgnoringCase)> pairs(IsLessIgnoringCase);
    for (const std::wstring& csPair : g_environment) {
        pairs[NameOf(csPair)] = csPair;
    }
    for (const auto& [csName, csValue] : env) {
        pairs[csName] = csName + L"=" + csValue;
    }
    std::wstring csBlock;
    for (const auto& pair : pairs) {
        csBlock += pair.second + L'\0';
    }
    return csBlock + L'\0';
}

}  // namespace

std::wstring FindVisibleWindow(const std::vector<DWORD>& pids, HWND* phWnd)
{
    std::wstring csWindow;
    WindowSearch search = {pids, &csWindow, nullptr};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    if (phWnd != nullptr) {
        *phWnd = search.hWnd;
    }
    return csWindow;
}

void CaptureEnvironment()
{
    g_environment.clear();
    wchar_t* pszBlock = GetEnvironmentStringsW();
    for (const wchar_t* psz = pszBlock; psz && *psz; psz += wcslen(psz) + 1) {
        // The stand-in's settings are each case's own, never the caller's.
        if (std::wcsncmp(psz, L"FAKE_UPDATER_", 13) != 0) {
            g_environment.emplace_back(psz);
        }
    }
    FreeEnvironmentStringsW(pszBlock);
}

CProgramRun::CProgramRun(const std::wstring& csExe, const std::wstring& csDir, const EnvPairs& env,
                         DWORD dwCreationFlags, HANDLE hToken)
    : m_job(CreateJobObjectW(nullptr, nullptr)), m_process(nullptr), m_stdoutRead(nullptr)
{
    // What the program leaves running ends with the case.
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(m_job.Get(), JobObjectExtendedLimitInformation, &limits,
                            sizeof(limits));

    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE hRead = nullptr;
    HANDLE hWrite = nullptr;
    const BOOL bPipe = CreatePipe(&hRead, &hWrite, &inherit, 0);
    m_stdoutRead.Reset(bPipe ? hRead : nullptr);
    const ScopedHandle stdoutWrite(bPipe ? hWrite : nullptr);
    if (!bPipe) {
        m_dwStartError = GetLastError();
        return;
    }
    SetHandleInformation(hRead, HANDLE_FLAG_INHERIT, 0);
    const ScopedHandle nul(CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                       &inherit, OPEN_EXISTING, 0, nullptr));

    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul.Get();
    si.hStdOutput = stdoutWrite.Get();
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    PROCESS_INFORMATION pi = {};
    std::wstring csCommandLine = L"\"" + csExe + L"\"";
    std::wstring csEnvironment = EnvironmentBlock(env);
    m_ullStarted = GetTickCount64();
    const DWORD dwFlags = CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT | dwCreationFlags;
    const BOOL bStarted =
        hToken ? CreateProcessAsUserW(hToken, csExe.c_str(), &csCommandLine[0], nullptr, nullptr,
                                      TRUE, dwFlags, &csEnvironment[0], csDir.c_str(), &si, &pi)
               : CreateProcessW(csExe.c_str(), &csCommandLine[0], nullptr, nullptr, TRUE, dwFlags,
                                &csEnvironment[0], csDir.c_str(), &si, &pi);
    if (!bStarted) {
        m_dwStartError = GetLastError();
        return;
    }
    const ScopedHandle thread(pi.hThread);
    m_process.Reset(pi.hProcess);
    AssignProcessToJobObject(m_job.Get(), pi.hProcess);
    ResumeThread(pi.hThread);
}

CProgramRun::~CProgramRun() = default;

bool CProgramRun::IsRunning() const
{
    return m_process.IsValid() && WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT;
}

void CProgramRun::Drain()
{
    DWORD cbAvailable = 0;
    while (m_stdoutRead.IsValid() &&
           PeekNamedPipe(m_stdoutRead.Get(), nullptr, 0, nullptr, &cbAvailable, nullptr) &&
           cbAvailable > 0) {
        char chunk[4096] = {};
        DWORD cbRead = 0;
        if (!ReadFile(m_stdoutRead.Get(), chunk, sizeof(chunk), &cbRead, nullptr) || cbRead == 0) {
            break;
        }
        m_outcome.csStdout.append(chunk, cbRead);
    }
}

bool CProgramRun::WatchWindows()
{
    if (!m_outcome.csWindow.empty()) {
        return false;
    }
    JobProcesses processes = {};
    std::vector<DWORD> pids = {GetProcessId(m_process.Get())};
    if (QueryInformationJobObject(m_job.Get(), JobObjectBasicProcessIdList, &processes,
                                  sizeof(processes), nullptr)) {
        for (DWORD i = 0; i < processes.list.NumberOfProcessIdsInList; ++i) {
            pids.push_back(static_cast<DWORD>(processes.list.ProcessIdList[i]));
        }
    }
    m_outcome.csWindow = FindVisibleWindow(pids);
    return m_outcome.csWindow.empty();
}

namespace {
// The path of a module's file as the loader opened it, without the \\?\ the
// call puts before it.
std::wstring GetModuleFilePath(HANDLE hFile)
{
    constexpr DWORD kPathChars = 32768;
    std::vector<wchar_t> buffer(kPathChars, L'\0');
    const DWORD cch =
        GetFinalPathNameByHandleW(hFile, buffer.data(), kPathChars, FILE_NAME_NORMALIZED);
    if (cch == 0 || cch >= kPathChars) {
        return L"<unknown: error " + std::to_wstring(GetLastError()) + L">";
    }
    const std::wstring csPath(buffer.data(), cch);
    return csPath.rfind(L"\\\\?\\", 0) == 0 ? csPath.substr(4) : csPath;
}
}  // namespace

std::vector<std::wstring> CProgramRun::GetDllLoads(DWORD dwTimeoutMs)
{
    std::vector<std::wstring> loads;
    bool bEnded = !m_process.IsValid();
    while (!bEnded && GetTickCount64() - m_ullStarted < dwTimeoutMs) {
        DEBUG_EVENT event = {};
        if (!WaitForDebugEvent(&event, kPollMs)) {
            Drain();
            if (!WatchWindows()) {
                // Finish ends it; the debugger must let go first.
                DebugActiveProcessStop(GetProcessId(m_process.Get()));
                break;
            }
            continue;
        }
        DWORD dwContinue = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
            case CREATE_PROCESS_DEBUG_EVENT: {
                const ScopedHandle file(event.u.CreateProcessInfo.hFile);
                break;
            }
            case LOAD_DLL_DEBUG_EVENT: {
                const ScopedHandle file(event.u.LoadDll.hFile);
                if (file.IsValid()) {
                    loads.push_back(GetModuleFilePath(file.Get()));
                }
                break;
            }
            case EXCEPTION_DEBUG_EVENT:
                // The loader's breakpoint is the debugger's; anything else is
                // the program's own to handle.
                if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
                    dwContinue = DBG_EXCEPTION_NOT_HANDLED;
                }
                break;
            case EXIT_PROCESS_DEBUG_EVENT:
                bEnded = true;
                break;
            default:
                break;
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, dwContinue);
    }
    return loads;
}

ProgramOutcome CProgramRun::Finish(DWORD dwTimeoutMs)
{
    if (!m_process.IsValid()) {
        return m_outcome;
    }
    DWORD dwWait = WAIT_TIMEOUT;
    // A window ends the run at once: a message box would hold it until the
    // time limit.
    while (dwWait == WAIT_TIMEOUT && GetTickCount64() - m_ullStarted < dwTimeoutMs &&
           WatchWindows()) {
        Drain();
        dwWait = WaitForSingleObject(m_process.Get(), kPollMs);
    }
    m_outcome.ullMs = GetTickCount64() - m_ullStarted;
    if (dwWait != WAIT_OBJECT_0) {
        m_outcome.bTimedOut = m_outcome.csWindow.empty();
        TerminateJobObject(m_job.Get(), 1);
        WaitForSingleObject(m_process.Get(), INFINITE);
    }
    WatchWindows();
    Drain();
    GetExitCodeProcess(m_process.Get(), &m_outcome.dwExitCode);
    return m_outcome;
}
