#include "UnzipLauncher.h"

#include <shlwapi.h>

#include "LaunchAndWait.h"
#include "SystemLibrary.h"
#include "discovery/Discovery.h"
#include "log/DiagLog.h"

namespace {
using PathFileExistsFn = decltype(&PathFileExistsW);

// PathFileExistsW, loaded now that the DLL search is restricted; null, and
// logged, when the system cannot give it.
PathFileExistsFn GetPathFileExists()
{
    std::wstring csFailure;
    const auto pfnPathFileExists =
        GetSystemFunction<PathFileExistsFn>(L"shlwapi.dll", "PathFileExistsW", csFailure);
    if (pfnPathFileExists == nullptr) {
        WriteLog(csFailure);
    }
    return pfnPathFileExists;
}

// The parameter entry comes after the wait, then what went wrong, if anything.
void StartUpdater(const std::wstring& csUpdater, const std::wstring& csParameters)
{
    const std::wstring csOutcome = LaunchAndWait(csUpdater, csParameters);
    WriteLog(csParameters);
    if (!csOutcome.empty()) {
        WriteLog(csOutcome);
    }
}
}  // namespace

CUnzipLauncher::CUnzipLauncher()
{
    // Without a known own directory "log.ini" would resolve against the
    // current directory and delete someone else's file.
    const std::wstring csOwnDir = GetUnzipPackPath();
    if (!IsDirectoryString(csOwnDir)) {
        return;
    }
    // No existence test first: that would need SHLWAPI, and deleting a file
    // that is not there fails without doing anything.
    const std::wstring csStaleLog = csOwnDir + L"log.ini";
    DeleteFileW(csStaleLog.c_str());
}

std::wstring CUnzipLauncher::GetZofixaPath()
{
    m_csZofixaPath = FindZofixaPath();
    return m_csZofixaPath;
}

int CUnzipLauncher::UnzipPack()
{
    const PathFileExistsFn pfnPathFileExists = GetPathFileExists();
    if (pfnPathFileExists == nullptr) {
        return 0;
    }

    // A relative management directory would start whatever "Quentabrix.exe"
    // lies in the current directory or at the root of the current drive.
    const std::wstring csManPath = GetRegManPath();
    const std::wstring csUpdater = csManPath + L"Quentabrix.exe";
    if (!IsAbsolutePath(csManPath) || !pfnPathFileExists(csUpdater.c_str())) {
        WriteLog(L"GetRegManPath no exists, path=" + csUpdater);
        return 0;
    }

    const std::wstring csProduct = GetZofixaPath();
    if (!pfnPathFileExists(csProduct.c_str())) {
        WriteLog(L"GetZofixaPath no exists, path=" + csProduct);
        return 0;
    }
    const std::wstring csDestination = csProduct + L"download\\sorvane";

    // An unknown own directory would resolve "update.zip" against the
    // current directory.
    const std::wstring csOwnDir = GetUnzipPackPath();
    const std::wstring csPackage = csOwnDir + L"update.zip";
    if (!IsDirectoryString(csOwnDir) || !pfnPathFileExists(csPackage.c_str())) {
        WriteLog(L"GetUnzipPackPath no exists, path=" + csPackage);
        return 0;
    }

    const std::wstring csParameters = L"\"" + csDestination + L"\" \"" + csPackage + L"\"";
    StartUpdater(csUpdater, csParameters);
    return 1;
}
