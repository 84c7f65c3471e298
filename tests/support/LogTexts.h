// What the launcher writes into c:\log.ini, spelled here once for every test
// program. Written out on the test side, never taken from the launcher's own
// code: a test that reads its expectation from the code under test cannot
// catch a wrong text.
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "support/Utf8.h"

namespace logtexts {

inline const std::wstring kLogFile = L"c:\\log.ini";

inline const std::wstring kSucc1 = L"IsZofixaPath succ[1]!";
inline const std::wstring kSucc2 = L"IsZofixaPath succ[2]!";
inline const std::wstring kCom = L"GetZofixaPath com!";
inline const std::wstring kNoUpdater = L"GetRegManPath no exists, path=";
inline const std::wstring kNoProduct = L"GetZofixaPath no exists, path=";
inline const std::wstring kNoPackage = L"GetUnzipPackPath no exists, path=";
inline const std::wstring kShellFailed = L"ShellExecuteEx failed;errcode=";
inline const std::wstring kNoProcess = L"ShellExecuteEx no process";
inline const std::wstring kWaitTimeout = L"WaitForSingleObject timeout;ms=120000";
inline const std::wstring kWaitFailed = L"WaitForSingleObject failed;errcode=";
inline const std::wstring kNoShell = L"LoadLibraryEx(shell32.dll) failed;errcode=";
inline const std::wstring kNoStartFunction = L"GetProcAddress(ShellExecuteExW) failed;errcode=";
inline const std::wstring kNoModulePath = L"GetModuleFileName failed;errcode=";
inline const std::wstring kNoOwnFolder = L"ReverseFind failed;csPackPath=";

// The two quoted arguments the updater receives, as the log records them.
inline std::wstring Parameters(const std::wstring& csDestination, const std::wstring& csPackage)
{
    return L"\"" + csDestination + L"\" \"" + csPackage + L"\"";
}

// Text as the system's profile writer stores it: in the ANSI code page, with
// "?" for what the code page lacks.
inline std::string Ansi(const std::wstring& csText)
{
    return Narrow(csText, CP_ACP);
}

// The exact bytes of c:\log.ini: what comes before, then [LOG] with the
// entries numbered from 0.
inline std::string LogBytes(const std::vector<std::wstring>& entries,
                            const std::string& before = "")
{
    std::string bytes = before + "[LOG]\r\n";
    for (size_t i = 0; i < entries.size(); ++i) {
        bytes += std::to_string(i) + "=" + Ansi(entries[i]) + "\r\n";
    }
    return bytes;
}

}  // namespace logtexts
