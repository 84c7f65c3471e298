#include "Entry.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "UnzipLauncher.h"

namespace {
const wchar_t kFrameworkFailure[] =
    L"\u9519\u8BEF: MFC \u521D\u59CB\u5316\u5931\u8D25";  // "错误: MFC 初始化失败"

bool IsConsole(int nFd)
{
    DWORD dwMode = 0;
    return GetConsoleMode(reinterpret_cast<HANDLE>(_get_osfhandle(nFd)), &dwMode) != FALSE;
}
}  // namespace

void ReportFrameworkFailure()
{
    // In the default text mode the runtime drops every character outside
    // ASCII. A console takes UTF-16 as written; a file or pipe gets UTF-8.
    const int nFd = _fileno(stdout);
    _setmode(nFd, IsConsole(nFd) ? _O_U16TEXT : _O_U8TEXT);
    wprintf(L"%ls\n", kFrameworkFailure);
    fflush(stdout);
}

int RunLauncher(FrameworkInitFn pfnInit)
{
    if (!pfnInit(GetModuleHandleW(nullptr), nullptr, GetCommandLineW(), 0)) {
        ReportFrameworkFailure();
        return 1;
    }
    CUnzipLauncher launcher;
    launcher.UnzipPack();
    return 0;
}
